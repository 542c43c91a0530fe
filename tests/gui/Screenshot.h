// Saves a picture of a widget as <build>/screenshots/<name>.png for a person
// to look at.
#pragma once

#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

inline void SaveScreenshot(QWidget* widget, const char* name) {
    ASSERT_NE(widget, nullptr) << name;
    QDir().mkpath(VEZIZO_BUILD_DIR "/screenshots");
    QPixmap picture = widget->grab();
    EXPECT_FALSE(picture.isNull()) << name;
    EXPECT_TRUE(picture.save(
        QStringLiteral(VEZIZO_BUILD_DIR "/screenshots/%1.png").arg(QLatin1String(name))))
        << name;
}
