#pragma once

#include <QWidget>
#include <array>

#include "chanviewbutton.h"

class QLabel;
class QTableView;

namespace vek {

class ChanViewModel;

// The Channel View: the channels of one head end in two column pairs, coloured by their
// state, with twelve head-end buttons and six view buttons. One window at a time; its head
// end is CVHeadEnd while it is open.
class frmChanView : public QWidget
{
    Q_OBJECT
public:
    explicit frmChanView(QWidget *parent = nullptr);
    ~frmChanView() override;

    // Redraws the whole list from the channel table for CVHeadEnd and CVFilter.
    void FillChanView();
    // One wheel message at a screen position: the list scrolls one row when it is under
    // the pointer, else the caption tells the direction.
    void MouseWheel(int mouseKeys, int rotation, int xpos, int ypos);
    // The window became active: its caption returns.
    void Form_Activate();

    void headEndButton_Click(int headEnd);
    void viewButton_Click(int filter);
    // List row (0 is the header) and column under the pointer.
    void gridCV_DblClick(int row, int col);
    void gridCV_MouseDown(Qt::MouseButton button, int row, int col);
    void gridCV_MouseMove(int row, int col);

    QTableView *grid() const { return m_grid; }
    ChanViewModel *model() const { return m_model; }
    ChanViewButton *headEndButton(int headEnd) const;
    ChanViewButton *viewButton(int filter) const;
    QLabel *lblHead() const { return m_lblHead; }
    QLabel *lblView() const { return m_lblView; }
    // Width in twips of a grid column.
    int columnWidthTwips(int col) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void setColumnWidthTwips(int col, int twips);
    void fitColumns();
    void setCaption(const QString &caption);
    // The channel index held for the entry of a cell (0 for none).
    int channelAt(int row, int col) const;

    ChanViewModel *m_model;
    QTableView *m_grid;
    QLabel *m_lblHead;
    QLabel *m_lblView;
    std::array<ChanViewButton *, 13> m_imgBut{};
    std::array<ChanViewButton *, 6> m_imgButView{};
    bool m_wheelHooked;
};

} // namespace vek
