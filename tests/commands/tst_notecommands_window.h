#pragma once

#include "NoteWindow.h"
#include "RichTextBox.h"

#include <QTabBar>
#include <QWidget>

#include <array>

// Seven note boxes and a tab strip standing in for the main window. Like the window, it marks a
// note changed whenever its box reports a change, so a command that leaves the flag clear must
// clear it after its own edits.
class FakeNoteWindow final : public NoteWindow
{
public:
    FakeNoteWindow()
    {
        m_strip = new QTabBar(&m_top);
        for (int n = 1; n <= 7; ++n) {
            auto *box = new RichTextBox(&m_top);
            m_boxes[n] = box;
            QObject::connect(box, &RichTextBox::Change, box, [this, n] { m_changed[n] = true; });
        }
        const char *captions[] = {"Notes", "Web Pages", "E-Mail Addresses", "Phone/Fax Numbers",
                                  "Other", "Other 2",   "Other 3"};
        for (int n = 1; n <= 7; ++n) {
            const int index = m_strip->addTab(QString::fromLatin1(captions[n - 1]));
            m_strip->setTabData(index, QString::number(n));
        }
    }

    // Shows note n, as selecting its tab does.
    void show(int n)
    {
        m_visible = n;
        for (int i = 0; i < m_strip->count(); ++i) {
            if (m_strip->tabData(i).toInt() == n)
                m_strip->setCurrentIndex(i);
        }
    }
    void removeTab(int n)
    {
        for (int i = 0; i < m_strip->count(); ++i) {
            if (m_strip->tabData(i).toInt() == n)
                m_strip->removeTab(i);
        }
    }

    RichTextBox *editor(int n) const override { return n >= 1 && n <= 7 ? m_boxes[n] : nullptr; }
    RichTextBox *ActiveEditor() const override { return m_boxes[m_visible]; }
    bool isPanelVisible(int n) const override { return n == m_visible; }
    void setNoteChanged(int n, bool changed) override { m_changed[n] = changed; }
    void FocusVisibleEditor() override { ++m_focusCalls; }
    QTabBar *tabStrip() const override { return m_strip; }
    QWidget *window() const override { return const_cast<QWidget *>(&m_top); }

    bool changed(int n) const { return m_changed[n]; }
    int focusCalls() const { return m_focusCalls; }

private:
    QWidget m_top;
    QTabBar *m_strip = nullptr;
    std::array<RichTextBox *, 8> m_boxes{};
    std::array<bool, 8> m_changed{};
    int m_visible = 1;
    int m_focusCalls = 0;
};
