#ifndef TOLVI_SHA256_H
#define TOLVI_SHA256_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;

// SHA-256 (OpenSSL's libcrypto) of bytes given piece by piece.
class sha256 {
public:
    sha256();
    ~sha256();
    sha256(const sha256&) = delete;
    sha256& operator=(const sha256&) = delete;

    void update(const char* data, std::size_t size);
    // The digest of everything given so far, as 64 lower-case hex digits.
    std::string hex() const;
    // How many bytes were given.
    std::uint64_t size() const { return size_; }

private:
    evp_md_ctx_st* context_;
    std::uint64_t size_ = 0;
};

// The digest of a text.
std::string sha256hex(std::string_view text);

// A file's size and digest, the file read whole; nothing when it cannot be read.
struct filedigest {
    std::uint64_t size;
    std::string sha256;
};
std::optional<filedigest> digestfile(const std::string& name);

#endif
