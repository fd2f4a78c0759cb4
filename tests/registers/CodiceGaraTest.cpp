#include "registers/CodiceGara.h"

#include <gtest/gtest.h>

using namespace zar;

TEST(CodiceGara, DateRunsYearMonthDayThenTheTrimmedPlace) {
    struct Case {
        const char* data;
        const char* localita;
        const char* codice;
    } cases[] = {
        {"15/03/2026", "ROMA", "20260315ROMA"},
        {"15/03/2026", " ROMA ", "20260315ROMA"},
        {"15/03/2026", "SAN  DONATO", "20260315SAN  DONATO"},
        {"01/12/1999", "", "19991201"},
        {"", "ROMA", "ROMA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodiceGaraDa(c.data, c.localita), QString(c.codice)) << c.data << "|" << c.localita;
    EXPECT_EQ(ParteDataCodiceGara("15/03/2026"), QString("20260315"));
}
