#pragma once
// The picture dialog on screen with its boxes and file chooser answered by
// script: the fixture its tests share.

#include "dialogs/frm_select_edit_image.h"

#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString DataDir = QStringLiteral(TESSALY_SOURCE_DIR "/tests/pictures/data/");

[[maybe_unused]] void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

[[maybe_unused]] bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40
           && std::abs(qBlue(a) - qBlue(b)) < 40;
}

class FrmSelectImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Card()));
        ASSERT_TRUE(QDir().mkpath(Photos()));
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }

    QString Card() const { return Dir.filePath("MyCard/Sample/"); }
    QString Photos() const { return Dir.filePath("Photos/"); }
    QString Target() const { return Card() + "picture.bmp"; }

    // A picture file in Photos/, written by Qt's own writers.
    QString Photo(const QString &name, const QImage &image, const char *format)
    {
        const QString path = Photos() + name;
        EXPECT_TRUE(image.save(path, format)) << name.toStdString();
        return path;
    }
    void Choose(const QString &path)
    {
        Dialogs.FileAnswers.push_back(TScriptedDialogs::FileAnswer{path});
        Form.Button1->click();
    }
    void CancelChooser()
    {
        Dialogs.FileAnswers.push_back(std::nullopt);
        Form.Button1->click();
    }
    // Where the user left the crop rectangle, given in the picture's own pixels.
    void PlaceCrop(const QRect &pictureRect)
    {
        Form.Shape1->setGeometry(Form.View().ToArea(pictureRect));
        Form.Mover->Select(Form.Shape1);
    }
    QPoint CentredOrigin(QSize shown) const
    {
        const QSize area = Form.ScrollBox1->maximumViewportSize();
        return QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2);
    }

    QTemporaryDir Dir;
    TScriptedDialogs Dialogs;
    TFrmselectImage Form{Dialogs};
};

} // namespace
