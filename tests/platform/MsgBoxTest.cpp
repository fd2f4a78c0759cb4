#include "platform/MsgBox.h"

#include <gtest/gtest.h>

using namespace zar;

TEST(MsgBoxResponder, RecordsEveryBoxAndAnswersChoicesFromTheQueue) {
    MsgBoxResponder r;
    r.queue(vbYes);
    EXPECT_EQ(MsgBox("Dati salvati.", vbInformation), vbOK);
    EXPECT_EQ(MsgBox("Confermi?", vbYesNo + vbQuestion, "Titolo"), vbYes) << "the OK box took no answer";
    ASSERT_EQ(r.shown().size(), 2);
    EXPECT_EQ(r.shown()[0].title, "ZAR");
    EXPECT_EQ(r.shown()[1].style, vbYesNo + vbQuestion);
    EXPECT_EQ(r.shown()[1].title, "Titolo");
    EXPECT_EQ(r.unanswered(), 0);
}

TEST(MsgBoxResponder, UnansweredQuestionIsReportedAndGetsTheSafeChoice) {
    MsgBoxResponder r;
    QString reported;
    r.onUnanswered = [&](const MsgBoxRecord& rec) { reported = rec.text; };
    EXPECT_EQ(MsgBox("Vuoi terminare il programma?", vbYesNo + vbQuestion), vbNo);
    EXPECT_EQ(r.unanswered(), 1);
    EXPECT_EQ(reported, "Vuoi terminare il programma?");
}

TEST(MsgBoxResponder, NestedRespondersRestoreThePreviousOne) {
    MsgBoxResponder outer;
    {
        MsgBoxResponder inner;
        MsgBox("a");
        EXPECT_EQ(inner.shown().size(), 1);
    }
    MsgBox("b");
    EXPECT_EQ(outer.texts(), QStringList({"b"}));
}
