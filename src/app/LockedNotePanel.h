#pragma once

#include "Secret.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// What a locked note's tab shows in place of its editor: "This note is locked.", a passphrase
// field with "Unlock", and "Remember in the desktop's keyring". It asks nothing by itself, so the
// other tabs work while a note stays locked; the window decrypts on a worker when it tells
// unlockRequested(), shows the outcome with setBusy() and showError(), and wipes the field with
// clear() once the note is open. Fits a window of 300 by 200 and grows with the font.
class LockedNotePanel final : public QWidget
{
    Q_OBJECT
public:
    explicit LockedNotePanel(QWidget *parent = nullptr);

    bool isBusy() const { return m_busy; }

public slots:
    // "Unlocking…" with the field and the buttons disabled, while the note is being decrypted.
    void setBusy(bool busy);
    // Ends the busy state and tells what went wrong, the field's text selected for a new try.
    void showError(const QString &message);
    // Wipes the field and the message.
    void clear();
    void setRemember(bool remember);
    // The caption of the note's tab, for screen readers.
    void setNoteCaption(const QString &caption);

signals:
    void unlockRequested(const Secret &passphrase, bool remember);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void requestUnlock();
    void updateEnabled();
    void followFont();

    QScrollArea *m_scroll = nullptr;
    QWidget *m_lockImage = nullptr;
    QLabel *m_title = nullptr;
    QWidget *m_form = nullptr;
    QLineEdit *m_field = nullptr;
    QPushButton *m_unlock = nullptr;
    QCheckBox *m_remember = nullptr;
    QLabel *m_message = nullptr;
    bool m_busy = false;
};
