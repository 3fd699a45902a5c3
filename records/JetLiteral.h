// Jet literals and name references: the one place where a value or a field name becomes text
// of the Jet dialect, for the search bar, the advanced search, type-ahead and key lookups.
//
// Text is written between double quotes with inner ones doubled; numbers bare, in the C locale;
// dates as #m/d/yyyy# with " h:nn:ss" when there is a time of day; booleans as True and False;
// names between brackets, a "]" inside one doubled. Nothing here can end the literal or name
// it writes, whatever the value holds.
#pragma once

#include "afx.h"
#include "afxdisp.h"

namespace kel::records {

// Why typed text could not become a literal of a field's type.
enum class JetLiteralError {
    None,
    NotNumber,
    NotDate,
    NotBoolean,
    NotTyped, // binary fields take no typed value
};

// "[Order Date]", "[Size [cm]]]". FALSE, with a message in strError, for a name the dialect
// cannot carry: empty, or holding a control character.
BOOL JetName(const CString& strName, CString& strReference, CString& strError);

// The reference to a result field: "[Name]", or "[A].[CustID]" when the field's name is its
// source's name qualified with its table ("A.CustID" with source field "CustID").
BOOL JetFieldReference(const CString& strField, const CString& strSourceField,
                       CString& strReference, CString& strError);

// The field name a reference made by JetName or JetFieldReference stands for: "[A].[CustID]"
// -> "A.CustID", "[Size [cm]]]" -> "Size [cm]". Text that is no such reference comes back as
// it is.
CString JetNameOf(const CString& strReference);

// "text" with inner double quotes doubled.
CString JetText(const CString& strText);

// A double with all 17 significant digits, so that it reads back as the same value; FALSE for
// infinities and NaN, which have no literal.
BOOL JetNumber(double dValue, CString& strLiteral);

// #m/d/yyyy#, or #m/d/yyyy h:nn:ss# when the value has a time of day; FALSE for a value that
// is no date.
BOOL JetDate(const COleDateTime& date, CString& strLiteral);

// True or False.
CString JetBoolean(BOOL bValue);

// Whether text is a decimal number as the engine reads one: sign, digits with one optional
// point, optional exponent; blanks at the ends allowed. No hexadecimal, no second sign.
BOOL IsJetNumber(const CString& strText);

// Yes/No, True/False, On/Off (any case) and numbers (0 is false) as a boolean.
BOOL ParseJetBoolean(const CString& strText, BOOL& bValue);

// Text typed by a user for a field of DAO type nType as a literal of that type. A date is read
// in the user locale and keeps a time typed with it; a boolean takes a number as it is, or one
// of the words of ParseJetBoolean.
JetLiteralError JetTypedLiteral(short nType, const CString& strText, CString& strLiteral);

// A value at full precision: text, numbers (a double with 17 significant digits, currency with
// its four decimals), dates with their time, booleans, and Null (or Empty) as Null. FALSE for
// values that have no literal (binary, infinities, an invalid date).
BOOL JetVariantLiteral(const COleVariant& var, CString& strLiteral);

// "[Name] = <literal>", or "[Name] IS NULL" for a Null value: one term of a key's WHERE text.
// Text compares exactly here, case included, unlike a search. FALSE, with a message, when the
// name or the value cannot be written.
BOOL JetKeyCondition(const CString& strField, const COleVariant& var, CString& strCondition,
                     CString& strError);

} // namespace kel::records
