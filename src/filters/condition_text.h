// The condition text of one column's filter: how the builder writes one
// condition line, a list of picked values and the joining of lines. The
// library parses exactly this text, so what is written here must read back
// as the values the user chose.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/afxwin.h"

namespace condition_text {

// Data type codes that change what the builder offers and how it writes.
constexpr uint16_t kCharacterType = 10;  // LIKE offered, picked values quoted
constexpr uint16_t kQuotedType = 11;     // picked values quoted

// The operators offered for a column of the given data type, in list order.
std::vector<const char*> OperatorsFor(uint16_t dataType);

// IN and NOT IN, without regard to case: they take a bracketed list.
bool IsListOperator(const char* op);

// 'value' with every quote inside doubled.
CString Quote(const char* value);

// The value text for the values chosen in the picker, in their order:
// joined by "," and bracketed for IN / NOT IN, each value quoted on the
// character types. On other types a value is written as it came, unless it
// would not read back as itself that way; then it is quoted too.
CString PickedValueText(const CStringList& values, const char* op, uint16_t dataType);

// "column operator value", one blank each side of the operator.
CString FormatCondition(const char* column, const char* op, const char* value);

// Appends one condition line, "table." followed by the built condition, to
// the filters text: trailing white space goes, and a further line is joined
// with " AND" (addType 0) or " OR" (any other), a blank and a line break.
CString AppendCondition(const CString& filters, int addType, const char* table, const CString& condition);

}  // namespace condition_text
