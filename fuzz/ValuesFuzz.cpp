// Values typed by users or read from a database: dates, currency amounts, variant conversions
// and the display text of any value.
//
// Rules: no crash and no read past a buffer; a parse either reports invalid or gives a value
// whose text parses back to the same value (and the same text).
#include "fuzz/FuzzCheck.h"

#include <afxdisp.h>

#include "companions/other/TranslateValue.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

const DWORD kDateFlags[] = {0, VAR_DATEVALUEONLY, VAR_TIMEVALUEONLY};

void Dates(kelfuzz::Input& in) {
    const DWORD flags = kDateFlags[in.Byte() % 3];
    const std::string text(in.Rest());
    COleDateTime dt;
    if (!dt.ParseDateTime(text.c_str(), flags)) {
        FUZZ_CHECK(dt.GetStatus() == COleDateTime::invalid, "a refused date left valid");
        return;
    }
    const CString written = dt.Format(flags, LANG_USER_DEFAULT);
    COleDateTime back;
    FUZZ_CHECK(back.ParseDateTime(written, flags), "a date's own text does not parse");
    FUZZ_CHECK(std::fabs(back.m_dt - dt.m_dt) < 0.5 / 86400.0, "a date reads back otherwise");
    FUZZ_CHECK(back.Format(flags, LANG_USER_DEFAULT) == written,
               "a date's text changes on a second pass");
    // The ISO form, the one the database keeps.
    const CString iso = dt.Format("%Y-%m-%d %H:%M:%S");
    FUZZ_CHECK(back.ParseDateTime(iso) && std::fabs(back.m_dt - dt.m_dt) < 0.5 / 86400.0,
               "a date's ISO text reads back otherwise");
}

void DateFormats(kelfuzz::Input& in) {
    double value = in.Integer<double>();
    const std::string format(in.Rest());
    COleDateTime dt(value);
    CString text = dt.Format(format.c_str());
    for (WORD code = 0; code <= 9; ++code) {
        CString shown;
        TranslateValue(COleVariant(dt), shown, code);
    }
    (void)text;
}

void Currency(kelfuzz::Input& in) {
    const std::string text(in.Rest());
    COleCurrency cur;
    if (!cur.ParseCurrency(text.c_str())) {
        FUZZ_CHECK(cur.GetStatus() == COleCurrency::invalid, "a refused amount left valid");
        return;
    }
    const CString written = cur.Format();
    COleCurrency back;
    FUZZ_CHECK(back.ParseCurrency(written), "an amount's own text does not parse");
    FUZZ_CHECK(back == cur, "an amount reads back otherwise");
    for (WORD code = 0; code <= 9; ++code) {
        CString shown;
        TranslateValue(COleVariant(cur), shown, code);
        if (code == TVF_THOUSANDS || code == TVF_CURRENCY || code == 0) {
            COleCurrency again;
            FUZZ_CHECK(again.ParseCurrency(shown), "an amount's display text does not parse");
        }
    }
}

const VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I2,   VT_I4,   VT_R4, VT_R8,
                          VT_CY,    VT_DATE, VT_BSTR, VT_BOOL, VT_UI1};

// Converts, and false when the conversion is refused.
bool Convert(COleVariant& v, VARTYPE type) {
    try {
        v.ChangeType(type);
        return true;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}

void TextConversions(kelfuzz::Input& in) {
    const VARTYPE type = kTypes[in.Byte() % (sizeof kTypes / sizeof kTypes[0])];
    const std::string text(in.Rest());
    COleVariant v(text.c_str());
    if (!Convert(v, type))
        return;
    FUZZ_CHECK(v.vt == type, "a conversion gave another type");
    for (WORD code = 0; code <= 9; ++code) {
        CString shown;
        TranslateValue(v, shown, code);
    }
    if (type == VT_EMPTY || type == VT_NULL)
        return;
    // Value -> text -> value -> text: the second text is the first one.
    COleVariant asText(v);
    FUZZ_CHECK(Convert(asText, VT_BSTR), "a converted value has no text");
    COleVariant again(asText);
    FUZZ_CHECK(Convert(again, type), "a value's own text does not convert back");
    if (type != VT_R4 && type != VT_R8)
        FUZZ_CHECK(again == v, "a value's text converts back to another value");
    COleVariant text2(again);
    FUZZ_CHECK(Convert(text2, VT_BSTR) && text2 == asText, "a value's text changes on a pass");
}

void AnyValue(kelfuzz::Input& in) {
    COleVariant v;
    switch (in.Byte() % 9) {
    case 0:
        v = COleVariant(in.Integer<short>());
        break;
    case 1:
        v = COleVariant(in.Integer<long>(), VT_I4);
        break;
    case 2:
        v = COleVariant(in.Integer<float>());
        break;
    case 3:
        v = COleVariant(in.Integer<double>());
        break;
    case 4: {
        CY cy;
        cy.int64 = in.Integer<long long>();
        v = COleVariant(COleCurrency(cy));
        break;
    }
    case 5:
        v = COleVariant(COleDateTime(in.Integer<double>()));
        break;
    case 6:
        v = COleVariant(static_cast<short>(in.Integer<short>() ? -1 : 0), VT_BOOL);
        break;
    case 7:
        v = COleVariant(static_cast<BYTE>(in.Byte()));
        break;
    default: {
        CByteArray bytes;
        std::string_view raw = in.Text(64);
        for (char c : raw)
            bytes.Add(static_cast<BYTE>(c));
        v = COleVariant(bytes);
        break;
    }
    }
    const WORD code = static_cast<WORD>(in.Byte() % 12);
    CString shown;
    TranslateValue(v, shown, code);
    const VARTYPE type = kTypes[in.Byte() % (sizeof kTypes / sizeof kTypes[0])];
    COleVariant changed(v);
    Convert(changed, type);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    kelfuzz::Input in(data, size);
    switch (in.Byte() % 5) {
    case 0:
        Dates(in);
        break;
    case 1:
        DateFormats(in);
        break;
    case 2:
        Currency(in);
        break;
    case 3:
        TextConversions(in);
        break;
    default:
        AnyValue(in);
        break;
    }
    return 0;
}
