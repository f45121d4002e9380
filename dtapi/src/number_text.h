// How numbers are read from condition texts and written into result cells, the
// same whichever engine computed them.
#ifndef ZEVDTAPI_NUMBER_TEXT_H
#define ZEVDTAPI_NUMBER_TEXT_H

#include <cstddef>
#include <string>

namespace zevdtapi {

// [+-]digits[.digits][e[+-]digits], or with the digits only after the point.
bool IsNumberText(const std::string& s);

// A plain decimal ("-12", "18.40", "7.000") written with the trailing zeros of
// its fraction removed and at least one digit after the point ("-12.0",
// "18.4", "7.0"); any other text is copied unchanged. out must hold n + 2
// bytes; returns the length written.
size_t NormaliseDecimal(const char* text, size_t n, char* out);

}  // namespace zevdtapi

#endif
