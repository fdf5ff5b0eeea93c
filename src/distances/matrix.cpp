#include "matrix.h"

namespace distances {

basefrequencies matrixfrequencies(const model& chosen, const std::vector<const slicedsequence*>& taxa)
{
    if (chosen.freqs == frequencies::equal)
        return {0.25, 0.25, 0.25, 0.25};
    if (chosen.freqs == frequencies::given)
        return chosen.given;
    basecounts bases{};
    for (const slicedsequence* taxon : taxa)
        for (std::size_t b = 0; b < 4; ++b)
            bases[b] += taxon->bases()[b];
    return frequenciesof(bases);
}

bool paironly(const model& chosen)
{
    switch (chosen.kind) {
    case measure::p:
    case measure::jc:
    case measure::k2p:
    case measure::logdet: return true;
    default: return chosen.freqs != frequencies::empirical;
    }
}

distance pairdistance(const model& chosen, const paircounts& pair, const basefrequencies& freqs,
                      const basecounts& first, const basecounts& second, const pairlikelihood* likelihood)
{
    return likelihood ? likelihood->fit(pair) : closedform(chosen, pair, freqs, first, second);
}

void matrixdistances(const model& chosen, const std::vector<const slicedsequence*>& taxa,
                     const std::function<const paircounts&(std::size_t, std::size_t)>& pairs,
                     const pairlikelihood* likelihood, std::vector<distance>& lower)
{
    lower.clear();
    const basefrequencies freqs = chosen.kind == measure::ml ? basefrequencies{} : matrixfrequencies(chosen, taxa);
    for (std::size_t i = 1; i < taxa.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const paircounts& pair = pairs(j, i);
            lower.push_back(pairdistance(chosen, pair, freqs, taxa[j]->bases(), taxa[i]->bases(), likelihood));
        }
}

}  // namespace distances
