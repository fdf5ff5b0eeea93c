#ifndef TOLVI_COMPARISONRECORD_H
#define TOLVI_COMPARISONRECORD_H

#include <string>
#include <vector>

// One comparison of group A with group B against the outgroup, in one
// bootstrap replicate: the branch lengths of every triplet read from the log
// and the rate statistics derived from them.
class comparisonrecord {
public:
    std::vector<float> brancha;  // branch to the group-A taxon, one per triplet
    std::vector<float> branchb;  // branch to the group-B taxon, one per triplet
    int numbera;                 // group numbers, as in the group marks "$<number>"
    int numberb;
    std::string namea;
    std::string nameb;
    float d;        // difference of the summed branch lengths per triplet, A minus B
    float sed;      // standard error of d
    float ratio;    // summed branch lengths of A over those of B
    float seratio;  // standard error of the ratio
    // Limits of the ratio and of d at sqrt(20) standard errors (Chebyshev's
    // inequality: at least 95% of any distribution lies within them) and at
    // 1.96 standard errors (95% of a normal distribution).
    float ratiochebyshevlower;
    float ratiochebyshevupper;
    float ratiozlower;
    float ratiozupper;
    float dchebyshevlower;
    float dchebyshevupper;
    float dzlower;
    float dzupper;
    // Final records: the number of bootstrap replicates the summary used.
    int replicates = 0;
    // Triplet matrices left out for an undefined distance, and the taxa the
    // log's messages named (each once).
    int undefined = 0;
    std::vector<std::string> undefinedtaxa;

    comparisonrecord(int a, int b, const std::string& na, const std::string& nb);
};

// One row per bootstrap replicate, one record per comparison in the row.
using replicatetable = std::vector<std::vector<comparisonrecord>>;

#endif
