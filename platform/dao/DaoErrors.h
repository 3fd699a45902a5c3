// The engine's error codes and texts, and the mapping of an engine's failures onto them.
// Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>

namespace kel::dao {

enum class ErrorSource { Database, Recordset };

namespace err {
constexpr long InvalidArgument = 3001;
constexpr long UpdateWithoutEdit = 3020;
constexpr long NoCurrentRecord = 3021;
constexpr long DuplicateKey = 3022;
constexpr long FileNotFound = 3024;
constexpr long ReadOnly = 3027;
constexpr long DiskError = 3043;
constexpr long FileInUse = 3045;
constexpr long CannotOpenFile = 3051;
constexpr long TooFewParameters = 3061;
constexpr long CannotExecuteSelect = 3065;
constexpr long UnknownFieldInExpression = 3070;
constexpr long SyntaxError = 3075;
constexpr long TableNotFound = 3078;
constexpr long AmbiguousField = 3079;
constexpr long UndefinedFunction = 3085;
constexpr long InvalidStatement = 3129;
constexpr long TextAfterEnd = 3142;
constexpr long NotABookmark = 3159;
constexpr long FieldTooSmall = 3163;
constexpr long FieldNotUpdatable = 3164;
constexpr long RecordDeleted = 3167;
constexpr long WriteConflict = 3197;
constexpr long RelatedRecordRequired = 3201;
constexpr long InvalidOperation = 3219;
constexpr long NotSupportedForType = 3251;
constexpr long Locked = 3260;
constexpr long ItemNotFound = 3265;
constexpr long RequiredIsNull = 3314;
constexpr long ValidationRule = 3317;
constexpr long UnrecognizedFormat = 3343;
constexpr long NumericOverflow = 3349;
constexpr long ObjectInvalid = 3420;
constexpr long ConversionError = 3421;
constexpr long TypeMismatch = 3464;
} // namespace err

// The engine's fixed text for a code that takes no argument.
std::string StandardDescription(long code);
// The engine's text for a code whose message names what failed (a file, table, field,
// function, the caller's expression or the count of parameters); the fixed text otherwise.
std::string StandardDescription(long code, std::string_view subject);

[[noreturn]] void ThrowDaoError(long code, const std::string& description, ErrorSource source);
[[noreturn]] void ThrowDaoError(long code, ErrorSource source);
// The error with the engine's text naming subject (see StandardDescription).
[[noreturn]] void ThrowNaming(long code, std::string_view subject, ErrorSource source);
// An operation on an object that is not open.
[[noreturn]] void ThrowNotOpen(ErrorSource source);

// What the caller gave, so that a failure can name it.
struct EngineContext {
    std::string_view userText; // the statement or criterion as the caller wrote it
    bool criterion = false;    // a Find criterion or filter rather than a statement
    std::string_view fileName; // the database file
};

class EngineError;

// Throws the CDaoException that stands for an engine's failure: the DAO code and text only,
// as the engine itself reports it.
[[noreturn]] void ThrowDaoFor(const EngineError& error, ErrorSource source,
                              const EngineContext& context = {});

} // namespace kel::dao
