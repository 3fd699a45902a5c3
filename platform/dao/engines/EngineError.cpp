#include "platform/dao/engines/EngineError.h"

#include "platform/dao/DaoException.h"

namespace kel::dao {

namespace {

// DAO's code for a failed connection to a server reached through a connect string.
constexpr long kConnectionFailed = 3151;
constexpr long kBadConnectString = 3001;

CDaoErrorInfo Info(long code, std::string description, ErrorSource source) {
    CDaoErrorInfo info;
    info.m_lErrorCode = code;
    info.m_strSource = source == ErrorSource::Database ? "DAO.Database" : "DAO.Recordset";
    info.m_strDescription = description.c_str();
    return info;
}

} // namespace

long DaoCodeFor(EngineFailure failure) {
    switch (failure) {
    case EngineFailure::DuplicateKey:
        return err::DuplicateKey;
    case EngineFailure::RequiredIsNull:
        return err::RequiredIsNull;
    case EngineFailure::TableNotFound:
        return err::TableNotFound;
    case EngineFailure::ColumnNotFound:
        return err::UnknownFieldInExpression;
    case EngineFailure::FunctionNotFound:
        return err::UndefinedFunction;
    case EngineFailure::TypeMismatch:
        return err::TypeMismatch;
    case EngineFailure::Syntax:
        return err::SyntaxError;
    case EngineFailure::Locked:
        return err::Locked;
    case EngineFailure::ReadOnly:
        return err::ReadOnly;
    case EngineFailure::CheckViolation:
        return err::ValidationRule;
    case EngineFailure::ForeignKey:
        return err::RelatedRecordRequired;
    case EngineFailure::Conversion:
        return err::ConversionError;
    case EngineFailure::Overflow:
        return err::NumericOverflow;
    case EngineFailure::TooLong:
        return err::FieldTooSmall;
    case EngineFailure::FileNotFound:
        return err::FileNotFound;
    case EngineFailure::CannotConnect:
        return kConnectionFailed;
    case EngineFailure::BadConnectString:
    case EngineFailure::InvalidArgument:
        return kBadConnectString;
    case EngineFailure::CorruptFile:
        return err::UnrecognizedFormat;
    case EngineFailure::AmbiguousName:
        return err::AmbiguousField;
    case EngineFailure::DiskError:
        return err::DiskError;
    case EngineFailure::OutOfMemory:
    case EngineFailure::Interrupted:
    case EngineFailure::Unsupported:
    case EngineFailure::Other:
        break;
    }
    return err::InvalidOperation;
}

void ThrowEngineError(const EngineError& error, ErrorSource source, const EngineContext& context) {
    long code = DaoCodeFor(error.Failure());
    // An unknown name in a statement is a parameter to Jet, which asks for its value; in a
    // criterion or filter it is an unknown field.
    if (error.Failure() == EngineFailure::ColumnNotFound && !context.criterion)
        code = err::TooFewParameters;
    const std::string& subject = error.Subject();
    std::string description;
    switch (error.Failure()) {
    case EngineFailure::ColumnNotFound:
        description =
            context.criterion ? StandardDescription(code, subject) : StandardDescription(code, "1");
        break;
    case EngineFailure::RequiredIsNull:
    case EngineFailure::TableNotFound:
    case EngineFailure::FunctionNotFound:
    case EngineFailure::FileNotFound:
        description = StandardDescription(code, subject);
        break;
    case EngineFailure::CorruptFile:
        description = StandardDescription(code, subject.empty() ? context.fileName
                                                                : std::string_view(subject));
        break;
    case EngineFailure::Syntax:
        description = StandardDescription(code, context.userText);
        break;
    case EngineFailure::CheckViolation:
        description = StandardDescription(code, error.what());
        break;
    case EngineFailure::CannotConnect:
        description = "ODBC--connection to '" + subject + "' failed.";
        break;
    case EngineFailure::AmbiguousName:
        description = StandardDescription(code, subject);
        break;
    case EngineFailure::BadConnectString:
    case EngineFailure::InvalidArgument:
    case EngineFailure::OutOfMemory:
    case EngineFailure::Interrupted:
    case EngineFailure::Unsupported:
    case EngineFailure::Other:
        description = error.what(); // the engine's own words are the best description
        break;
    default:
        description = StandardDescription(code);
        break;
    }
    CDaoException* e = new CDaoException;
    e->m_scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned long>(code));
    e->AddError(Info(code, description, source));
    if (description != error.what()) {
        std::string engineText = error.what();
        if (!error.EngineCode().empty())
            engineText = error.EngineCode() + ": " + engineText;
        e->AddError(Info(code, engineText, source));
    }
    throw e;
}

} // namespace kel::dao
