#pragma once

#include <string>

namespace pagoling::generate {

// Full-width forms to their ASCII characters (A1 A1 space, A3 A1..A3 FE "!".."~", A1 AB "~") and
// the two star symbols A1 EE and A1 EF to "*"; every other character stays as it is.
std::string ToHalfWidth(const std::string& gbk);

// The product count box read as a number: half-width first, so full-width digits count, then a
// decimal number from the start (leading spaces skipped) as far as it goes; 0 when the text does
// not begin with a number.
double ProductCountValue(const std::string& gbk);

}  // namespace pagoling::generate
