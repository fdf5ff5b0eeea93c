#ifndef TOLVI_GRCOMP_H
#define TOLVI_GRCOMP_H

#include <string>
#include <vector>

// One comparison of group A with group B against the outgroup, in one
// bootstrap replicate: the branch lengths of every triplet read from the log
// and the rate statistics derived from them.
class grcomp {
public:
    std::vector<float> KOAs;  // branch to the group-A taxon, one per triplet
    std::vector<float> KOBs;  // branch to the group-B taxon, one per triplet
    int grIDa;
    int grIDb;
    std::string grnamea;
    std::string grnameb;
    float d;
    float sdd;
    float ratio;
    float sdratio;
    float chconfu;
    float chconfo;
    float zconfu;
    float zconfo;
    float dchconfu;
    float dchconfo;
    float dzconfu;
    float dzconfo;
    // Final records: the number of bootstrap replicates the summary used.
    int replicates = 0;

    grcomp(int a, int b, const std::string& na, const std::string& nb);
};

// One row per bootstrap replicate, one record per comparison in the row.
using replicatetable = std::vector<std::vector<grcomp>>;

#endif
