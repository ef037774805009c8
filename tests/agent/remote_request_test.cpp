// The one-line requests and answers between ambience-cli and the running program.
#include "change/remote_request.h"
#include "support/change_kind.h"

#include <gtest/gtest.h>

namespace {

using change::PictureStep;
using testsupport::KindOf;

core::Result<change::ChangeDone> Failed(const QString& text)
{
    return core::MakeError(change::kChangeFailed, text.toStdString());
}

core::Result<change::ChangeDone> Done(const QString& text)
{
    change::ChangeDone r;
    r.description = text;
    return r;
}

TEST(RemoteRequest, RequestsRoundTripAndNothingElseIsAnAction)
{
    for (PictureStep action : {PictureStep::Current, PictureStep::Random, PictureStep::Next, PictureStep::Back})
        EXPECT_EQ(change::ParseRemoteActionRequest(change::RemoteActionRequest(action)), action);
    for (const char* line : {"show", "ping", "action", "action ", "action Random", "action random ", "random"})
        EXPECT_FALSE(change::ParseRemoteActionRequest(QString::fromLatin1(line))) << line;
}

TEST(RemoteRequest, AnswersStayOneLine)
{
    const QString line = change::FormatRemoteAnswer(Failed("No space left.\nambience.bmp\tnot written"));
    EXPECT_FALSE(line.contains('\n'));
    const auto answer = change::ParseRemoteAnswer(line);
    ASSERT_TRUE(answer);
    EXPECT_EQ(KindOf(*answer), "failed");
    EXPECT_EQ(testsupport::WhyNot(*answer), "No space left. ambience.bmp not written");

    const auto done = change::ParseRemoteAnswer(change::FormatRemoteAnswer(Done("Sunflowers, 1888")));
    ASSERT_TRUE(done);
    ASSERT_EQ(KindOf(*done), "done");
    EXPECT_EQ((*done)->description, "Sunflowers, 1888");
    EXPECT_EQ(KindOf(*change::ParseRemoteAnswer("busy")), "busy");
    // What an older program answers to anything: not an answer to an action.
    EXPECT_FALSE(change::ParseRemoteAnswer("ok"));
    EXPECT_FALSE(change::ParseRemoteAnswer(""));
}

} // namespace
