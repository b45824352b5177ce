// The extended level's traffic with the list control: extended styles with their write rules
// and read-back, hover time and selection mark, what is sent at window creation and in which
// order; and the demand for a recent common controls library.
#include "ExtListView.h"
#include "FileVersion.h"
#include "ListControl.h"
#include "support/ControlTraffic.h"

#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>

using namespace Win;

namespace {

using TTraffic = TestSupport::TControlTraffic;

const TLVExtendedStyles kCatalogue = {lvxGridLines,     lvxTrackSelect,      lvxHeaderDragDrop,
                                      lvxFullRowSelect, lvxOneClickActivate, lvxTwoClickActivate,
                                      lvxUnderlineHot};

} // namespace

Q_DECLARE_METATYPE(TLVExtendedStyles)

class TestExtListView : public QObject
{
    Q_OBJECT
private slots:
    void StylesWrite_addsActivationForUnderliningAndSendsTheBits_data()
    {
        QTest::addColumn<TLVExtendedStyles>("written");
        QTest::addColumn<uint>("bits");
        QTest::newRow("underline hot") << TLVExtendedStyles{lvxUnderlineHot} << 0x840u;
        QTest::newRow("underline cold, two-click")
            << TLVExtendedStyles{lvxUnderlineCold, lvxTwoClickActivate} << 0x10C0u;
        QTest::newRow("underline hot, two-click")
            << TLVExtendedStyles{lvxUnderlineHot, lvxTwoClickActivate} << 0x880u;
        QTest::newRow("the catalogue's seven") << kCatalogue << 0x8F9u;
    }
    void StylesWrite_addsActivationForUnderliningAndSendsTheBits()
    {
        QFETCH(TLVExtendedStyles, written);
        QFETCH(uint, bits);
        TdfsExtListView list;
        list.Loaded(); // the window exists
        TTraffic traffic(list);
        list.SetExtendedStyles(written);
        const auto sent = traffic.Of(LVM_SETEXTENDEDLISTVIEWSTYLE);
        QCOMPARE(sent.size(), std::size_t(1));
        QCOMPARE(sent[0].WParam, WPARAM(0));
        QCOMPARE(uint(sent[0].LParam), bits);
        QCOMPARE(list.ExtendedStyles().ToPlatform(), bits);
    }

    void FlatScrollBars_loseTheirArrowButtons_data()
    {
        QTest::addColumn<TLVExtendedStyles>("styles");
        QTest::addColumn<bool>("flat");
        QTest::newRow("flat") << TLVExtendedStyles{lvxFlatScrollBar} << true;
        QTest::newRow("flat among others")
            << TLVExtendedStyles{lvxGridLines, lvxFlatScrollBar} << true;
        QTest::newRow("not flat") << TLVExtendedStyles{lvxGridLines} << false;
    }
    void FlatScrollBars_loseTheirArrowButtons()
    {
        QFETCH(TLVExtendedStyles, styles);
        QFETCH(bool, flat);
        TdfsExtListView list;
        list.Columns().Add()->SetCaption("A");
        for (int i = 0; i < 200; ++i)
            list.Items().Add()->SetCaption("row");
        list.SetExtendedStyles(styles);
        list.resize(200, 150);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        for (QScrollBar* bar : {list.Control().View()->verticalScrollBar(),
                                list.Control().View()->horizontalScrollBar()}) {
            QStyleOptionSlider option;
            option.initFrom(bar);
            option.orientation = bar->orientation();
            option.minimum = bar->minimum();
            option.maximum = bar->maximum();
            const QRect arrow = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                             QStyle::SC_ScrollBarAddLine, bar);
            QCOMPARE(arrow.isEmpty(), flat);
        }
        // Switched off again: the style's own scroll bars.
        list.SetExtendedStyles({});
        QVERIFY(list.Control().View()->verticalScrollBar()->styleSheet().isEmpty());
    }

    void StylesRead_dropsBitsWithoutAMember()
    {
        TdfsExtListView list;
        list.Loaded();
        list.SetExtendedStyles({lvxGridLines});
        list.Control().SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x600);
        QCOMPARE(list.ExtendedStyles(), TLVExtendedStyles());
    }

    void CheckingAnItem_addsCheckBoxesToTheReadBackStyles()
    {
        TdfsExtListView list;
        list.Columns().Add()->SetCaption("A");
        list.Loaded();
        list.SetExtendedStyles({lvxGridLines});
        TListItem* item = list.Items().Add();
        QVERIFY(!item->Checked());
        item->SetChecked(true);
        QVERIFY(item->Checked());
        QCOMPARE(list.ExtendedStyles(), (TLVExtendedStyles{lvxGridLines, lvxCheckboxes}));
        item->SetChecked(false);
        QVERIFY(!item->Checked());
    }

    void CheckBox_togglesByClickAndBySpace()
    {
        TdfsExtListView list;
        list.Columns().Add()->SetCaption("A");
        list.Columns().Items(0)->SetWidth(120);
        list.Loaded();
        list.SetExtendedStyles({lvxCheckboxes});
        for (int i = 0; i < 2; ++i)
            list.Items().Add()->SetCaption("row");
        list.resize(200, 120);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.Control().View();
        const QModelIndex first = view->model()->index(0, 0);
        QCOMPARE(first.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        // The check box stands at the cell's left, where the style puts it.
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualRect(first);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
        QVERIFY(list.Items().Item(0)->Checked());
        list.Items().Item(1)->SetSelected(true);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(list.Items().Item(1)->Checked());
        QVERIFY(list.Items().Item(0)->Checked());
    }

    void WindowCreation_sendsMarkHoverTimeAndStylesInOrder_data()
    {
        QTest::addColumn<int>("hoverTime");
        QTest::newRow("platform's default") << -1;
        QTest::newRow("the catalogue's") << 100000000;
    }
    void WindowCreation_sendsMarkHoverTimeAndStylesInOrder()
    {
        QFETCH(int, hoverTime);
        TdfsExtListView list;
        TTraffic traffic(list);
        list.BeginLoading();
        list.SetExtendedStyles(kCatalogue);
        list.SetHoverTime(hoverTime);
        QVERIFY(traffic.Sent.empty()); // no window yet: only stored
        list.Loaded();
        std::vector<UINT> order;
        for (const auto& s : traffic.Sent)
            if (s.Msg == LVM_SETSELECTIONMARK || s.Msg == LVM_SETHOVERTIME ||
                s.Msg == LVM_SETEXTENDEDLISTVIEWSTYLE)
                order.push_back(s.Msg);
        QCOMPARE(order, (std::vector<UINT>{LVM_SETSELECTIONMARK, LVM_SETHOVERTIME,
                                           LVM_SETEXTENDEDLISTVIEWSTYLE}));
        QCOMPARE(traffic.Of(LVM_SETSELECTIONMARK)[0].LParam, LPARAM(-1));
        QCOMPARE(traffic.Of(LVM_SETHOVERTIME)[0].LParam, LPARAM(hoverTime));
        QCOMPARE(uint(traffic.Of(LVM_SETEXTENDEDLISTVIEWSTYLE)[0].LParam), 0x8F9u);
        QCOMPARE(list.HoverTime(), hoverTime);
    }

    void RecreatedWindow_getsTheValuesLastWrittenOrReadBack_data()
    {
        QTest::addColumn<bool>("readBack");
        QTest::newRow("read from the window before") << true;
        QTest::newRow("not read: the value last written") << false;
    }
    void RecreatedWindow_getsTheValuesLastWrittenOrReadBack()
    {
        QFETCH(bool, readBack);
        TdfsExtListView list;
        list.SetExtendedStyles({lvxGridLines});
        list.SetHoverTime(300);
        list.HandleNeeded();
        // Someone talks to the window directly.
        list.Control().SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        list.Control().SendMessage(LVM_SETHOVERTIME, 0, 777);
        if (readBack) {
            QCOMPARE(list.ExtendedStyles(), (TLVExtendedStyles{lvxFullRowSelect}));
            QCOMPARE(list.HoverTime(), 777); // asked of the window, not the stored 300
        }
        TTraffic traffic(list);
        list.RecreateWnd();
        QCOMPARE(traffic.Of(LVM_SETEXTENDEDLISTVIEWSTYLE).size(), std::size_t(1));
        QCOMPARE(uint(traffic.Of(LVM_SETEXTENDEDLISTVIEWSTYLE)[0].LParam),
                 readBack ? uint(LVS_EX_FULLROWSELECT) : uint(LVS_EX_GRIDLINES));
        QCOMPARE(traffic.Of(LVM_SETHOVERTIME)[0].LParam, LPARAM(readBack ? 777 : 300));
        QCOMPARE(list.Control().ExtendedStyle(),
                 readBack ? uint(LVS_EX_FULLROWSELECT) : uint(LVS_EX_GRIDLINES));
    }

    void WritesWhileTheWindowExists_areSentAtOnce_data()
    {
        QTest::addColumn<int>("property"); // 0 selection mark, 1 hover time, 2 item count
        QTest::addColumn<uint>("msg");
        QTest::addColumn<qlonglong>("wParam");
        QTest::addColumn<qlonglong>("lParam");
        QTest::newRow("selection mark") << 0 << uint(LVM_SETSELECTIONMARK) << 0ll << 5ll;
        QTest::newRow("hover time") << 1 << uint(LVM_SETHOVERTIME) << 0ll << 250ll;
        QTest::newRow("item count, no flags") << 2 << uint(LVM_SETITEMCOUNT) << 40ll << 0ll;
        QTest::newRow("item count, no scroll")
            << 3 << uint(LVM_SETITEMCOUNT) << 40ll << qlonglong(LVSICF_NOSCROLL);
        QTest::newRow("item count, both flags")
            << 4 << uint(LVM_SETITEMCOUNT) << 40ll
            << qlonglong(LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    void WritesWhileTheWindowExists_areSentAtOnce()
    {
        QFETCH(int, property);
        QFETCH(uint, msg);
        QFETCH(qlonglong, wParam);
        QFETCH(qlonglong, lParam);
        TdfsExtListView list;
        list.SetVirtualMode(true);
        list.HandleNeeded();
        TTraffic traffic(list);
        switch (property) {
        case 0:
            list.SetSelectionMark(5);
            QCOMPARE(list.SelectionMark(), 5);
            QCOMPARE(list.Control().SelectionMark(), 5);
            break;
        case 1:
            list.SetHoverTime(250);
            QCOMPARE(list.Control().HoverTime(), 250);
            break;
        case 2:
            list.SetVirtualItemCount(40);
            break;
        case 3:
            list.SetVirtualItemCount(40, {icfNoScroll});
            break;
        default:
            list.SetVirtualItemCount(40, {icfNoScroll, icfNoInvalidateAll});
            break;
        }
        const auto sent = traffic.Of(msg);
        QCOMPARE(sent.size(), std::size_t(1));
        QCOMPARE(qlonglong(sent[0].WParam), wParam);
        QCOMPARE(qlonglong(sent[0].LParam), lParam);
        if (property >= 2)
            QCOMPARE(list.Control().RowCount(), 40);
    }

    void CheckDLLVersion_comparesFieldByField_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("release");
        QTest::addColumn<bool>("recent");
        QTest::newRow("4.70.0.0 exactly") << 4 << 70 << 0 << true;
        QTest::newRow("4.71") << 4 << 71 << 0 << true;
        QTest::newRow("5.0") << 5 << 0 << 0 << true;
        QTest::newRow("4.00.950.0") << 4 << 0 << 950 << false;
    }
    void CheckDLLVersion_comparesFieldByField()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, release);
        QFETCH(bool, recent);
        FileVersion::Install("comctl32.dll",
                             FileVersion::TVersion{std::uint16_t(major), std::uint16_t(minor),
                                                   std::uint16_t(release), 0});
        QCOMPARE(CheckDLLVersion("COMCTL32.DLL", 4, 70, 0, 0), recent);
        TdfsExtListView list;
        bool raised = false;
        try {
            list.SetRequireComCtlUpdate(true);
        } catch (const EELVOldComCtl& e) {
            raised = true;
            QCOMPARE(QString(e.what()),
                     QStringLiteral("COMCTL32.DLL is older than required version"));
        }
        QCOMPARE(raised, !recent);
        QVERIFY(list.RequireComCtlUpdate()); // stored whatever follows
        FileVersion::Install("COMCTL32.DLL", FileVersion::TVersion{6, 0, 0, 0});
    }

    void CheckDLLVersion_withoutVersionInformation_isFalse()
    {
        FileVersion::Install("COMCTL32.DLL", std::nullopt);
        QVERIFY(!CheckDLLVersion("COMCTL32.DLL", 4, 70, 0, 0));
        TdfsExtListView list;
        QVERIFY_THROWS_EXCEPTION(EELVException, list.SetRequireComCtlUpdate(true));
        FileVersion::Install("COMCTL32.DLL", FileVersion::TVersion{6, 0, 0, 0});
        QVERIFY(CheckDLLVersion("comctl32.dll", 6, 0, 0, 0));
        QVERIFY(!CheckDLLVersion("comctl32.dll", 6, 0, 0, 1));
    }

    void WindowEnd_isHeardOnRecreationAndDestruction()
    {
        // A list that records what reaches it, and ends its window as the placed list does.
        struct TListening final : TCustomExtListView
        {
            std::vector<UINT>* Heard;
            explicit TListening(std::vector<UINT>& H) : Heard(&H) {}
            ~TListening() override { DestroyHandle(); }
            LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override
            {
                if (Msg == WM_DESTROY)
                    Heard->push_back(Msg);
                return TCustomExtListView::WndProc(Msg, W, L);
            }
        };
        std::vector<UINT> heard;
        {
            TListening list(heard);
            list.SetHoverTime(250);
            list.RecreateWnd(); // no window yet: nothing ends
            QVERIFY(heard.empty());
            list.Loaded();
            TTraffic traffic(list);
            list.RecreateWnd();
            QCOMPARE(heard.size(), std::size_t(1));
            // The new window gets the stored values again, and its style word.
            QCOMPARE(traffic.Of(LVM_SETHOVERTIME).size(), std::size_t(1));
            QCOMPARE(list.Control().WindowStyle() & LVS_REPORT, LVS_REPORT);
        }
        QCOMPARE(heard.size(), std::size_t(2));
    }

    void Version_isTheComponentsOwn()
    {
        TdfsExtListView list;
        QCOMPARE(list.Version(), std::string("TdfsExtListView v3.55"));
    }
};

QTEST_MAIN(TestExtListView)
#include "tst_ExtListView.moc"
