#include "core/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

core::Result<int> Parse(const std::string& text) {
    if (text.empty()) return core::MakeError(13, "empty");
    return std::stoi(text);
}

core::Result<void> Twice(const std::string& a, const std::string& b, int& sum) {
    auto first = Parse(a);
    AMBIENCE_TRY(first);
    auto second = Parse(b);
    AMBIENCE_TRY(second);
    sum = *first + *second;
    return core::Ok();
}

TEST(Result, CarriesValueOrErrorAndPassesErrorsUp) {
    int sum = 0;
    EXPECT_TRUE(Twice("2", "3", sum).ok());
    EXPECT_EQ(sum, 5);

    auto failed = Twice("2", "", sum);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().code, 13);
    EXPECT_EQ(failed.error().text, "empty");

    // A code of 0 would read as "no error" to callers that compare codes.
    EXPECT_NE(core::MakeError(0, "x").code, 0);

    core::Result<std::unique_ptr<int>> moved = std::make_unique<int>(7);
    std::unique_ptr<int> taken = std::move(moved).value();
    EXPECT_EQ(*taken, 7);
}

} // namespace
