#include "comparisonrecord.h"

comparisonrecord::comparisonrecord(int a, int b, const std::string& na, const std::string& nb)
    : numbera(a), numberb(b), namea(na), nameb(nb),
      d(0.0f), sed(0.0f), ratio(0.0f), seratio(0.0f),
      ratiochebyshevlower(0.0f), ratiochebyshevupper(0.0f), ratiozlower(0.0f), ratiozupper(0.0f),
      dchebyshevlower(0.0f), dchebyshevupper(0.0f), dzlower(0.0f), dzupper(0.0f)
{
}
