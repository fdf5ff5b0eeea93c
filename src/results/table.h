#ifndef TOLVI_TABLE_H
#define TOLVI_TABLE_H

#include <ostream>
#include <string>
#include <vector>

#include "summary.h"

// The results as a tab-separated table: one header line, then one line per
// row; numbers in the C locale with 9 significant digits (a float read back
// is the float written), NaN as "nan", infinities as "inf" and "-inf".
void writetable(const std::vector<resultrow>& rows, std::ostream& out);

// A number as the table writes it.
std::string tablenumber(double v);

#endif
