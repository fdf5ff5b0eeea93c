#include "grcomp.h"

grcomp::grcomp(int a, int b, const std::string& na, const std::string& nb)
    : grIDa(a), grIDb(b), grnamea(na), grnameb(nb),
      d(0.0f), sdd(0.0f), ratio(0.0f), sdratio(0.0f),
      chconfu(0.0f), chconfo(0.0f), zconfu(0.0f), zconfo(0.0f),
      dchconfu(0.0f), dchconfo(0.0f), dzconfu(0.0f), dzconfo(0.0f)
{
}
