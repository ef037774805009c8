// The one-line requests and answers between ambience-cli and the running program.
#include "agent/remote_action.h"

#include <gtest/gtest.h>

namespace {

using agent::RemoteAction;
using Kind = agent::RemoteAnswer::Kind;

TEST(RemoteAction, RequestsRoundTripAndNothingElseIsAnAction)
{
    for (RemoteAction action : {RemoteAction::Refresh, RemoteAction::Random, RemoteAction::Next, RemoteAction::Back})
        EXPECT_EQ(agent::ParseRemoteActionRequest(agent::RemoteActionRequest(action)), action);
    for (const char* line : {"show", "ping", "action", "action ", "action Random", "action random ", "random"})
        EXPECT_FALSE(agent::ParseRemoteActionRequest(QString::fromLatin1(line))) << line;
}

TEST(RemoteAction, AnswersStayOneLine)
{
    const QString line = agent::FormatRemoteAnswer({Kind::Failed, "No space left.\nambience.bmp\tnot written"});
    EXPECT_FALSE(line.contains('\n'));
    const auto answer = agent::ParseRemoteAnswer(line);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, Kind::Failed);
    EXPECT_EQ(answer->text, "No space left. ambience.bmp not written");

    const auto done = agent::ParseRemoteAnswer(agent::FormatRemoteAnswer({Kind::Done, "Sunflowers, 1888"}));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->kind, Kind::Done);
    EXPECT_EQ(done->text, "Sunflowers, 1888");
    EXPECT_EQ(agent::ParseRemoteAnswer("busy")->kind, Kind::Busy);
    // What an older program answers to anything: not an answer to an action.
    EXPECT_FALSE(agent::ParseRemoteAnswer("ok"));
    EXPECT_FALSE(agent::ParseRemoteAnswer(""));
}

} // namespace
