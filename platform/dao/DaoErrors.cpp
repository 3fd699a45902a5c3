#include "platform/dao/DaoErrors.h"

#include "platform/dao/DaoException.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"

namespace kel::dao {

namespace {

std::string_view After(std::string_view message, std::string_view prefix) {
    size_t at = message.find(prefix);
    return at == std::string_view::npos ? std::string_view() : message.substr(at + prefix.size());
}

// "main.Orders" -> "Orders": the schema is never part of what the caller wrote.
std::string WithoutSchema(std::string_view name) {
    for (std::string_view schema : {"main.", "temp."}) {
        if (name.substr(0, schema.size()) == schema)
            name.remove_prefix(schema.size());
    }
    return std::string(name);
}

} // namespace

std::string StandardDescription(long code) {
    switch (code) {
    case err::InvalidArgument:
        return "Invalid argument.";
    case err::UpdateWithoutEdit:
        return "Update or CancelUpdate without AddNew or Edit.";
    case err::NoCurrentRecord:
        return "No current record.";
    case err::DuplicateKey:
        return "The changes you requested to the table were not successful because they would "
               "create duplicate values in the index, primary key, or relationship. Change the "
               "data in the field or fields that contain duplicate data, remove the index, or "
               "redefine the index to permit duplicate entries and try again.";
    case err::ReadOnly:
        return "Cannot update. Database or object is read-only.";
    case err::DiskError:
        return "Disk or network error.";
    case err::CannotExecuteSelect:
        return "Cannot execute a select query.";
    case err::InvalidStatement:
        return "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
               "'UPDATE'.";
    case err::TextAfterEnd:
        return "Characters found after end of SQL statement.";
    case err::NotABookmark:
        return "Not a valid bookmark.";
    case err::FieldTooSmall:
        return "The field is too small to accept the amount of data you attempted to add. Try "
               "inserting or pasting less data.";
    case err::FieldNotUpdatable:
        return "Field cannot be updated.";
    case err::RecordDeleted:
        return "Record is deleted.";
    case err::WriteConflict:
        return "The database engine stopped the process because you and another user are "
               "attempting to change the same data at the same time.";
    case err::RelatedRecordRequired:
        return "You cannot add or change a record because a related record is required.";
    case err::InvalidOperation:
        return "Invalid operation.";
    case err::NotSupportedForType:
        return "Operation is not supported for this type of object.";
    case err::Locked:
        return "Couldn't update; currently locked by another user.";
    case err::ItemNotFound:
        return "Item not found in this collection.";
    case err::NumericOverflow:
        return "Numeric field overflow.";
    case err::ObjectInvalid:
        return "Object invalid or no longer set.";
    case err::ConversionError:
        return "Data type conversion error.";
    case err::TypeMismatch:
        return "Data type mismatch in criteria expression.";
    default:
        return "Reserved error (" + std::to_string(code) + "); there is no message for this error.";
    }
}

std::string StandardDescription(long code, std::string_view subject) {
    const std::string s(subject);
    switch (code) {
    case err::FileNotFound:
        return "Could not find file '" + s + "'.";
    case err::FileInUse:
        return "Could not use '" + s + "'; file already in use.";
    case err::CannotOpenFile:
        return "The database engine cannot open the file '" + s +
               "'. It is already opened exclusively by another user, or you need permission to "
               "view its data.";
    case err::TooFewParameters:
        return "Too few parameters. Expected " + s + ".";
    case err::UnknownFieldInExpression:
        return "The database engine does not recognize '" + s +
               "' as a valid field name or expression.";
    case err::SyntaxError:
        return "Syntax error in query expression '" + s + "'.";
    case err::TableNotFound:
        return "The database engine cannot find the input table or query '" + s + "'.";
    case err::AmbiguousField:
        return "The field '" + s +
               "' could refer to more than one table listed in the FROM clause of your SQL "
               "statement.";
    case err::UndefinedFunction:
        return "Undefined function '" + s + "' in expression.";
    case err::RequiredIsNull:
        return "The field '" + s +
               "' cannot contain a Null value because the Required property for this field is "
               "set to True. Enter a value in this field.";
    case err::ValidationRule:
        return "One or more values are prohibited by the validation rule set for the table (" + s +
               ").";
    case err::UnrecognizedFormat:
        return "Unrecognized database format '" + s + "'.";
    default:
        return StandardDescription(code);
    }
}

namespace {

[[noreturn]] void Throw(long code, const std::string& description, ErrorSource source,
                        int afxError) {
    CDaoErrorInfo info;
    info.m_lErrorCode = code;
    info.m_strSource = source == ErrorSource::Database ? "DAO.Database" : "DAO.Recordset";
    info.m_strDescription = description;
    CDaoException* e = new CDaoException;
    e->m_nAfxDaoError = afxError;
    e->m_scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned long>(code));
    e->AddError(info);
    throw e;
}

} // namespace

void ThrowDaoError(long code, const std::string& description, ErrorSource source) {
    Throw(code, description, source, NO_AFX_DAO_ERROR);
}

void ThrowDaoError(long code, ErrorSource source) {
    ThrowDaoError(code, StandardDescription(code), source);
}

void ThrowNaming(long code, std::string_view subject, ErrorSource source) {
    ThrowDaoError(code, StandardDescription(code, subject), source);
}

void ThrowNotOpen(ErrorSource source) {
    Throw(err::ObjectInvalid, StandardDescription(err::ObjectInvalid), source,
          AFX_DAO_ERROR_OBJECT_NOT_OPEN);
}

namespace {

// A name as the caller wrote it: a server names what it could not find as it folded it.
std::string AsWritten(const std::string& name, std::string_view userText) {
    if (name.empty() || userText.find(name) != std::string_view::npos)
        return name;
    for (const std::string& written : NamesIn(userText))
        if (EqualsNoCase(written, name))
            return written;
    return name;
}

} // namespace

void ThrowDaoFor(const EngineError& error, ErrorSource source, const EngineContext& context) {
    const std::string message = error.what();
    const std::string subject = AsWritten(error.Subject(), context.userText);
    switch (error.Failure()) {
    case EngineFailure::OutOfMemory:
        AfxThrowMemoryException();
    case EngineFailure::TableNotFound:
        ThrowNaming(err::TableNotFound,
                    AsWritten(std::string(WithoutSchema(error.Subject())), context.userText),
                    source);
    case EngineFailure::ColumnNotFound:
        if (context.criterion)
            ThrowNaming(err::UnknownFieldInExpression, subject, source);
        ThrowNaming(err::TooFewParameters, "1", source);
    case EngineFailure::FunctionNotFound:
        ThrowNaming(err::UndefinedFunction, subject, source);
    case EngineFailure::TypeMismatch:
        ThrowDaoError(err::TypeMismatch, source);
    case EngineFailure::AmbiguousName:
        ThrowNaming(err::AmbiguousField, subject, source);
    case EngineFailure::Syntax:
        ThrowNaming(err::SyntaxError, context.userText, source);
    case EngineFailure::DuplicateKey:
        ThrowDaoError(err::DuplicateKey, source);
    case EngineFailure::RequiredIsNull: {
        // The engine's own naming of the field (table.field) where it gives one.
        const std::string_view named = After(message, "NOT NULL constraint failed: ");
        ThrowNaming(err::RequiredIsNull, named.empty() ? std::string_view(subject) : named, source);
    }
    case EngineFailure::CheckViolation:
        ThrowNaming(err::ValidationRule, message, source);
    case EngineFailure::ForeignKey:
        ThrowDaoError(err::RelatedRecordRequired, source);
    case EngineFailure::Locked:
        ThrowDaoError(err::Locked, source);
    case EngineFailure::ReadOnly:
        ThrowDaoError(err::ReadOnly, source);
    case EngineFailure::CorruptFile:
        ThrowNaming(err::UnrecognizedFormat,
                    context.fileName.empty() ? std::string_view(subject) : context.fileName,
                    source);
    case EngineFailure::DiskError:
        ThrowDaoError(err::DiskError, source);
    default:
        ThrowDaoError(err::InvalidOperation, message, source);
    }
}

} // namespace kel::dao
