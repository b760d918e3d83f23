#include <QMdiArea>

#include "widget_fixture.h"

namespace {

TEST_F(WorkbenchTest, StartsWithTestPatternOfTheChildSize)
{
    CFraloDoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(app->m_nSource, 0);
    EXPECT_EQ(doc->m_nWidth, app->m_nChildWidth);
    EXPECT_EQ(doc->m_nHeight, app->m_nChildHeight);
    EXPECT_EQ(app->m_nChildWidth, frame->frameGeometry().width() / 2 - 20);
    EXPECT_EQ(doc->Title(), QString("Image0 (%1x%2)").arg(doc->m_nWidth).arg(doc->m_nHeight));
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), doc->Title());
    EXPECT_EQ(app->m_nOpenImages, 1);
}
}
