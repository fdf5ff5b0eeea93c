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
    int numbera;
    int numberb;
    std::string namea;
    std::string nameb;
    float d;
    float sed;
    float ratio;
    float seratio;
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

    comparisonrecord(int a, int b, const std::string& na, const std::string& nb);
};

// One row per bootstrap replicate, one record per comparison in the row.
using replicatetable = std::vector<std::vector<comparisonrecord>>;

#endif
