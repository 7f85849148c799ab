#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(ClipboardTest, RealClipboardReplacesTheText)
{
    platform::Clipboard::SetInstance(nullptr);
    QGuiApplication::clipboard()->setText("old");
    platform::Clipboard::Instance().SetText("Opened a.QRN");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Opened a.QRN");
}
