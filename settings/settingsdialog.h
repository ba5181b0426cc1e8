#pragma once

#include <QWidget>

class QBoxLayout;
class QPushButton;

namespace vek {

// The frame every settings dialog shares: a modeless window that shows the stored
// settings, keeps its edits to itself until its save button, and is released by that
// button, by Cancel, by its title-bar X and by losing activation to another window of
// the console; only the save button keeps anything.
class SettingsDialog : public QWidget
{
    Q_OBJECT
public:
    // saveCaption names the save button ("Apply And Save", "Save").
    SettingsDialog(const QString &title, const QString &saveCaption, QWidget *parent);

    void cmdOk_Click();
    void cmdCancel_Click();

    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    // Copies the controls into the tables and writes their file.
    virtual void store() = 0;
    // The dialog's own layout; the buttons follow what the dialog adds.
    QBoxLayout *body() const { return m_body; }
    // Write the settings or users file; a failure is told to the administrator, since the
    // dialog closes anyway and the change would be lost at the next start.
    void saveSettings();
    void saveUsers();

private:
    QBoxLayout *m_body;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace vek
