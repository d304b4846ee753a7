#include "FormPara.h"

#include "MeterParamDecode.h"
#include "WindowTestSupport.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(FormParaTest, EveryDecodedLabelExistsAndRepliesFillThem) {
    WidgetTestApp();
    TFormPara form;
    EXPECT_EQ(form.windowTitle(), "Meter Parameters");
    EXPECT_EQ(form.Label("LabelDriveWork")->text(), "");
    EXPECT_EQ(form.Label("LabelPassword")->text(), "");
    EXPECT_EQ(form.Label("Label12")->text(), "Demand Window Width:");

    QList<quint16> block(34, 0);
    block[0x01] = 5;
    block[0x02] = 0x9600;
    block[0x05] = 0x0001;
    block[0x06] = 0x86A0;
    block[0x07] = 100;
    block[0x08] = 100;
    block[0x0C] = 5;
    const auto texts = DecodeMeterParamBlock(block);
    ASSERT_EQ(texts.size(), 19);
    form.ShowParameters(block);
    for (const auto& t : texts) {
        QLabel* label = form.Label(t.label);
        ASSERT_NE(label, nullptr) << t.label.toStdString();
        EXPECT_EQ(label->text(), t.text);
        EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::blue));
    }
    EXPECT_EQ(form.Label("LabelAddr")->text(), "5");
    EXPECT_EQ(form.Label("LabelBaudrate")->text(), "38400 bps");
    EXPECT_EQ(form.Label("LabelPT1")->text(), "100000 V");
    EXPECT_EQ(form.Label("LabelPulseWidth")->text(), "100 ms");
}

TEST(FormParaTest, SetupButtonOpensTheSettingsWindowWhenThereIsOne) {
    WidgetTestApp();
    TFormPara without;
    EXPECT_EQ(without.SetupButton()->text(), "Setup (&S) ...");
    EXPECT_FALSE(without.SetupButton()->isEnabled());

    int opened = 0;
    TFormPara with([&] { ++opened; });
    EXPECT_TRUE(with.SetupButton()->isEnabled());
    with.SetupButton()->click();
    EXPECT_EQ(opened, 1);
}

TEST(FormParaTest, DemandWindowFollowsTheMeterModel) {
    WidgetTestApp();
    TFormPara form;
    form.ApplyMeterModel(0);
    EXPECT_FALSE(form.Label("Label12")->isEnabled());
    EXPECT_FALSE(form.Label("LabelDemaTime")->isEnabled());
    form.ApplyMeterModel(1);
    EXPECT_TRUE(form.Label("Label12")->isEnabled());
    EXPECT_TRUE(form.Label("LabelDemaTime")->isEnabled());
}

TEST(ChildWindowFrame, SubWindowHasNoMaximiseButtonAndKeepsItsSize) {
    WidgetTestApp();
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    auto* form = new TFormPara;
    QMdiSubWindow* sub = area.addSubWindow(form);
    const Qt::WindowFlags flags = sub->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    sub->show();
    const QSize before = form->size();
    sub->resize(sub->width() + 200, sub->height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), before);

    // Minimised it is a title bar the operator can read, and it comes back at its size.
    const QSize framed = sub->size();
    sub->showMinimized();
    QApplication::processEvents();
    EXPECT_GE(sub->width(), 100);
    EXPECT_LT(sub->height(), framed.height());
    sub->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(sub->size(), framed);
    EXPECT_EQ(form->size(), before);
}
