// The one-line requests and answers between ambience-cli and the running program.
#include "change/remote_request.h"

#include <gtest/gtest.h>

namespace {

using change::PictureStep;
using Status = change::ChangeResult::Status;

change::ChangeResult Result(Status status, const QString& text)
{
    change::ChangeResult r;
    r.status = status;
    r.problem = text;
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
    const QString line = change::FormatRemoteAnswer(Result(Status::Failed, "No space left.\nambience.bmp\tnot written"));
    EXPECT_FALSE(line.contains('\n'));
    const auto answer = change::ParseRemoteAnswer(line);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, Status::Failed);
    EXPECT_EQ(answer->problem, "No space left. ambience.bmp not written");

    const auto done = change::ParseRemoteAnswer(change::FormatRemoteAnswer(Result(Status::Done, "Sunflowers, 1888")));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->status, Status::Done);
    EXPECT_EQ(done->description, "Sunflowers, 1888");
    EXPECT_EQ(change::ParseRemoteAnswer("busy")->status, Status::Busy);
    // What an older program answers to anything: not an answer to an action.
    EXPECT_FALSE(change::ParseRemoteAnswer("ok"));
    EXPECT_FALSE(change::ParseRemoteAnswer(""));
}

} // namespace
