#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include <verodyn/operators.h>

#include "workbench/common/error_edge.h"

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

} // namespace
