#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include <QStringList>

#include <verodyn/operators.h>

#include "common/error_edge.h"
#include "common/user_message.h"

namespace {

TEST(ErrorEdge, TheMessageOfEachKindOfFailure)
{
    struct Case {
        std::function<void()> action;
        const char* message; // UTF-8; empty: no failure
    };
    const Case cases[] = {
        {[] {}, ""},
        {[] {
             Vobject out;
             copy_image(Vobject(), &out);
         },
         "Erreur de la bibliothèque d'images n°1302 !\ncopy_image: input object is empty"},
        {[] { throw std::bad_alloc(); }, "Mémoire insuffisante !"},
        {[] { throw std::runtime_error("plan"); }, "Erreur inattendue !\nplan"},
    };
    set_check("give_error");
    for (const Case& c : cases)
        EXPECT_EQ(CatchAtErrorEdge(c.action), QString::fromUtf8(c.message)) << c.message;
}

TEST(ErrorEdge, ShowsTheMessageOnceAndCarriesOn)
{
    QStringList shown;
    SetMessageSink([&](const QString& text, MessageButtons) {
        shown.append(text);
        return int(AnswerOk);
    });
    EXPECT_TRUE(RunAtErrorEdge([] {}));
    EXPECT_FALSE(RunAtErrorEdge([] { throw VException(VERR_PARAM, "zoom_image_size: x"); }));
    SetMessageSink(nullptr);
    EXPECT_EQ(shown, QStringList{QString::fromUtf8(
                         "Erreur de la bibliothèque d'images n°1301 !\nzoom_image_size: x")});
}

} // namespace
