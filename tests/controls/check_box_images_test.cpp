// The check box image strip: which cells are drawn in which state, the
// themed and the classic path, and the empty cells.
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QWidget>

#include "controls/gui/check_box_images.h"

using namespace quillmere::controls;

namespace {

// Records every check box the style is asked to draw.
class SpyStyle : public QProxyStyle {
 public:
  SpyStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}
  struct Call {
    QRect rect;
    QStyle::State state;
  };
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_IndicatorCheckBox) calls.push_back({option->rect, option->state});
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
  mutable QVector<Call> calls;
};

bool IsPlain(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) != colour) return false;
  return true;
}

const QColor kBackground(250, 250, 240);

}  // namespace

class CheckBoxImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void themedPathDrawsEachCellInItsState() {
    QWidget window;
    SpyStyle spy;
    ImageList list;
    QVERIFY(BuildCheckBoxImages(&window, list, 16, kBackground, CheckBoxTheme{&spy}));
    struct Expected {
      int cell;
      QStyle::State tick;
      bool enabled, hot;
    };
    const QStyle::State off = QStyle::State_Off, on = QStyle::State_On, mixed = QStyle::State_NoChange;
    const Expected expected[] = {{1, off, true, false},   {2, on, true, false},    {3, mixed, true, false},
                                 {5, off, false, false},  {6, on, false, false},   {7, mixed, false, false},
                                 {9, off, true, true},    {10, on, true, true},    {11, mixed, true, true},
                                 {13, off, false, false}, {14, on, false, false},  {15, mixed, false, false}};
    QCOMPARE(spy.calls.size(), qsizetype(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
      const auto& call = spy.calls[i];
      const auto& want = expected[i];
      QCOMPARE(call.rect, QRect(want.cell * 16 + 1, 1, 14, 14));
      const QStyle::State ticks = call.state & (QStyle::State_Off | QStyle::State_On | QStyle::State_NoChange);
      QCOMPARE(ticks, want.tick);
      QCOMPARE(bool(call.state & QStyle::State_Enabled), want.enabled);
      QCOMPARE(bool(call.state & QStyle::State_MouseOver), want.hot);
    }
    QCOMPARE(list.Count(), kCheckBoxCells);
  }

  void classicPath_data() {
    QTest::addColumn<bool>("withStyle");
    QTest::addColumn<bool>("themeActive");
    QTest::addColumn<bool>("appThemed");
    QTest::newRow("theme missing") << false << true << true;
    QTest::newRow("visual styles off") << true << false << true;
    QTest::newRow("application not themed") << true << true << false;
  }
  void classicPath() {
    QFETCH(bool, withStyle);
    QFETCH(bool, themeActive);
    QFETCH(bool, appThemed);
    QWidget window;
    SpyStyle spy;
    ImageList list;
    QVERIFY(BuildCheckBoxImages(&window, list, 16, kBackground,
                                CheckBoxTheme{withStyle ? &spy : nullptr, themeActive, appThemed}));
    QVERIFY(spy.calls.isEmpty());
    QCOMPARE(list.Count(), kCheckBoxCells);
    // In the classic look the hover cells are the normal ones.
    for (int cell = 1; cell <= 3; ++cell) QCOMPARE(list.Image(cell + 8), list.Image(cell));
    for (int cell = 5; cell <= 7; ++cell) QCOMPARE(list.Image(cell + 8), list.Image(cell));
    // Unticked, ticked, partly ticked and their disabled forms all differ.
    for (int a : {1, 2, 3, 5, 6, 7})
      for (int b : {1, 2, 3, 5, 6, 7})
        if (a < b) QVERIFY2(list.Image(a) != list.Image(b), qPrintable(QString("%1 %2").arg(a).arg(b)));
    // A box leaves one pixel of background around it.
    const QImage box = list.Image(1);
    QCOMPARE(box.pixelColor(0, 0), kBackground);
    QCOMPARE(box.pixelColor(15, 15), kBackground);
    QVERIFY(box.pixelColor(1, 1) != kBackground);
  }

  void emptyCellsArePlainBackground_data() {
    QTest::addColumn<bool>("themed");
    QTest::newRow("themed") << true;
    QTest::newRow("classic") << false;
  }
  void emptyCellsArePlainBackground() {
    QFETCH(bool, themed);
    QWidget window;
    SpyStyle spy;
    ImageList list;
    QVERIFY(BuildCheckBoxImages(&window, list, 16, kBackground, CheckBoxTheme{themed ? &spy : nullptr}));
    for (int cell : {0, 4, 8, 12, 16}) QVERIFY2(IsPlain(list.Image(cell), kBackground), qPrintable(QString::number(cell)));
    for (int cell : {1, 2, 3, 5, 9}) QVERIFY(!IsPlain(list.Image(cell), kBackground));
  }

  void buildingAgainReplacesTheImages() {
    QWidget window;
    ImageList list;
    QVERIFY(BuildCheckBoxImages(&window, list, 16, Qt::white, {}));
    QVERIFY(BuildCheckBoxImages(&window, list, 12, kBackground, {}));
    QCOMPARE(list.Count(), kCheckBoxCells);
    QCOMPARE(list.Width(), 12);
    QCOMPARE(list.Image(0).pixelColor(0, 0), kBackground);
  }

  void refusesWithoutWindowOrSize() {
    QWidget window;
    ImageList list;
    QVERIFY(!BuildCheckBoxImages(nullptr, list, 16, Qt::white, {}));
    QVERIFY(!BuildCheckBoxImages(&window, list, 0, Qt::white, {}));
    QCOMPARE(list.Count(), 0);
  }
};

QTEST_MAIN(CheckBoxImagesTest)
#include "check_box_images_test.moc"
