#include "sha256.h"

#include <openssl/evp.h>

#include <fstream>
#include <memory>
#include <stdexcept>

sha256::sha256() : context_(EVP_MD_CTX_new())
{
    if (!context_ || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(context_);
        throw std::runtime_error("SHA-256 is not available from libcrypto");
    }
}

sha256::~sha256()
{
    EVP_MD_CTX_free(context_);
}

void sha256::update(const char* data, std::size_t size)
{
    EVP_DigestUpdate(context_, data, size);
    size_ += size;
}

std::string sha256::hex() const
{
    // The context goes on taking bytes: the digest is that of a copy.
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> copy(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!copy || EVP_MD_CTX_copy_ex(copy.get(), context_) != 1 || EVP_DigestFinal_ex(copy.get(), digest, &length) != 1)
        throw std::runtime_error("SHA-256 could not be computed");
    static const char hexdigits[] = "0123456789abcdef";
    std::string s;
    for (unsigned int i = 0; i < length; ++i) {
        s += hexdigits[digest[i] >> 4];
        s += hexdigits[digest[i] & 15];
    }
    return s;
}

std::string sha256hex(std::string_view text)
{
    sha256 digest;
    digest.update(text.data(), text.size());
    return digest.hex();
}

std::optional<filedigest> digestfile(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return std::nullopt;
    sha256 digest;
    std::string piece(1 << 16, '\0');
    while (file.read(piece.data(), static_cast<std::streamsize>(piece.size())) || file.gcount() > 0)
        digest.update(piece.data(), static_cast<std::size_t>(file.gcount()));
    if (file.bad())
        return std::nullopt;
    return filedigest{digest.size(), digest.hex()};
}
