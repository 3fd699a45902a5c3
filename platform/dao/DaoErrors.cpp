#include "platform/dao/DaoErrors.h"

#include "platform/dao/DaoException.h"

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
    default:
        return "Reserved error (" + std::to_string(code) + "); there is no message for this error.";
    }
}

void ThrowDaoError(long code, const std::string& description, ErrorSource source) {
    CDaoErrorInfo info;
    info.m_lErrorCode = code;
    info.m_strSource = source == ErrorSource::Database ? "DAO.Database" : "DAO.Recordset";
    info.m_strDescription = description;
    CDaoException* e = new CDaoException;
    e->m_scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned long>(code));
    e->AddError(info);
    throw e;
}

void ThrowDaoError(long code, ErrorSource source) {
    ThrowDaoError(code, StandardDescription(code), source);
}

void ThrowNotOpen(ErrorSource source) {
    CDaoErrorInfo info;
    info.m_lErrorCode = err::ObjectInvalid;
    info.m_strSource = source == ErrorSource::Database ? "DAO.Database" : "DAO.Recordset";
    info.m_strDescription = StandardDescription(err::ObjectInvalid).c_str();
    CDaoException* e = new CDaoException;
    e->m_nAfxDaoError = AFX_DAO_ERROR_OBJECT_NOT_OPEN;
    e->m_scode = static_cast<SCODE>(0x800A0000u | err::ObjectInvalid);
    e->AddError(info);
    throw e;
}

void ThrowSqliteError(sqlite3* db, int rc, ErrorSource source, const EngineContext& context) {
    if (rc == SQLITE_NOMEM)
        AfxThrowMemoryException();
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    const std::string quoted = "'" + std::string(context.userText) + "'";
    std::string_view name;
    if (!(name = After(message, "no such table: ")).empty())
        ThrowDaoError(err::TableNotFound,
                      "The database engine cannot find the input table or query '" +
                          WithoutSchema(name) + "'.",
                      source);
    if (!(name = After(message, "no such column: ")).empty()) {
        if (context.criterion)
            ThrowDaoError(err::UnknownFieldInExpression,
                          "The database engine does not recognize '" + std::string(name) +
                              "' as a valid field name or expression.",
                          source);
        ThrowDaoError(err::TooFewParameters, "Too few parameters. Expected 1.", source);
    }
    if (!(name = After(message, "no such function: ")).empty())
        ThrowDaoError(err::UndefinedFunction,
                      "Undefined function '" + std::string(name) + "' in expression.", source);
    if (!(name = After(message, "ambiguous column name: ")).empty())
        ThrowDaoError(err::AmbiguousField,
                      "The field '" + std::string(name) +
                          "' could refer to more than one table listed in the FROM clause of "
                          "your SQL statement.",
                      source);
    if (message.find("syntax error") != std::string::npos ||
        message.find("incomplete input") != std::string::npos ||
        message.find("unrecognized token") != std::string::npos)
        ThrowDaoError(err::SyntaxError, "Syntax error in query expression " + quoted + ".", source);

    switch (extended) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        ThrowDaoError(err::DuplicateKey, source);
    case SQLITE_CONSTRAINT_NOTNULL: {
        std::string field(After(message, "NOT NULL constraint failed: "));
        ThrowDaoError(err::RequiredIsNull,
                      "The field '" + field +
                          "' cannot contain a Null value because the Required property for this "
                          "field is set to True. Enter a value in this field.",
                      source);
    }
    case SQLITE_CONSTRAINT_CHECK:
        ThrowDaoError(err::ValidationRule,
                      "One or more values are prohibited by the validation rule set for the "
                      "table (" +
                          message + ").",
                      source);
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        ThrowDaoError(err::RelatedRecordRequired,
                      "You cannot add or change a record because a related record is required.",
                      source);
    default:
        break;
    }
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        ThrowDaoError(err::Locked, source);
    case SQLITE_READONLY:
        ThrowDaoError(err::ReadOnly, source);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        ThrowDaoError(err::UnrecognizedFormat,
                      "Unrecognized database format '" + std::string(context.fileName) + "'.",
                      source);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
        ThrowDaoError(err::DiskError, source);
    default:
        ThrowDaoError(err::InvalidOperation, message, source);
    }
}

} // namespace kel::dao
