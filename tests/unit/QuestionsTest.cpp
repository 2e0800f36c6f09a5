#include "ui/Questions.h"
#include <gtest/gtest.h>

namespace {

// The person at the machine: records what reached them and answers with `answer`.
class Person final : public Questions {
public:
    bool answer = false;
    int asked = 0;
    int errors = 0;
    int told = 0;

    bool Ask(const String&, const String&, BoxButtons, BoxIcon, QuestionKind) override
    {
        ++asked;
        return answer;
    }
    using Questions::ShowError;
    void ShowError(const String&, const String&, BoxIcon) override { ++errors; }
    void Tell(const String&, const String&, BoxIcon) override { ++told; }
};

struct AnswerCase {
    const char* name;
    bool automatic;
    AutomaticAnswers answers;
    QuestionKind kind;
    bool personAnswers; // what the person would say, if asked
    bool asked;         // whether the person is asked
    bool answer;
};

class AutomaticAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(AutomaticAnswer, FollowsTheKindOfQuestion)
{
    const AnswerCase& c = GetParam();
    Person person;
    person.answer = c.personAnswers;
    AutomaticQuestions questions(person);
    questions.SetMode(c.automatic, c.answers);
    EXPECT_EQ(questions.AskYesNo("text", "caption", BoxIcon::Question, c.kind), c.answer);
    EXPECT_EQ(person.asked, c.asked ? 1 : 0);
}

constexpr AutomaticAnswers kPlain {};
constexpr AutomaticAnswers kAskRestart { false, true };

INSTANTIATE_TEST_SUITE_P(, AutomaticAnswer,
    testing::Values(
        AnswerCase{ "InteractiveAsksEveryKind", false, kPlain, QuestionKind::GoOn, false, true, false },
        AnswerCase{ "InteractiveOfferIsAsked", false, kPlain, QuestionKind::Offer, true, true, true },
        AnswerCase{ "AutomaticGoesOn", true, kPlain, QuestionKind::GoOn, false, false, true },
        AnswerCase{ "AutomaticDeclinesOffers", true, kPlain, QuestionKind::Offer, true, false, false },
        AnswerCase{ "AutomaticRestarts", true, kPlain, QuestionKind::Restart, false, false, true },
        AnswerCase{ "AutomaticAsksRestartWhenTold", true, kAskRestart, QuestionKind::Restart, false, true, false },
        AnswerCase{ "AskRestartLeavesOtherKinds", true, kAskRestart, QuestionKind::GoOn, false, false, true },
        AnswerCase{ "AutomaticAsksWhatOnlyThePersonKnows", true, kPlain, QuestionKind::Needed, false, true, false }),
    [](const testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

TEST(AutomaticQuestions, ErrorsAndMessages)
{
    struct Row {
        const char* name;
        bool automatic;
        bool showErrors;
        int errors;
        int told;
    } rows[] = {
        { "interactive shows both", false, false, 1, 1 },
        { "automatic shows neither", true, false, 0, 0 },
        { "ShowErrorsInAutomatic shows errors only", true, true, 1, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Person person;
        AutomaticQuestions questions(person);
        questions.SetMode(row.automatic, AutomaticAnswers { row.showErrors, false });
        questions.ShowError("error", "Error");
        questions.Tell("done", "Product", BoxIcon::Information);
        EXPECT_EQ(person.errors, row.errors);
        EXPECT_EQ(person.told, row.told);
    }
}

TEST(AutomaticQuestions, ModeCanBeLeft)
{
    // A refused reinstallation must reach the person even when /a was given.
    Person person;
    AutomaticQuestions questions(person);
    questions.SetMode(true, kPlain);
    questions.ShowError("silent", "Error");
    questions.SetMode(false, kPlain);
    questions.ShowError("shown", "Error");
    EXPECT_EQ(person.errors, 1);
    EXPECT_FALSE(questions.IsAutomatic());
}

} // namespace
