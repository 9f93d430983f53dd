#pragma once
// The coding page TabSheet3: the navigation bar, the current case with its information fields,
// the coding actions and the key-word strip on the left; the category panel on the right.

#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class TForm1;
class LineListModel;

class CodingPage : public QWidget {
    Q_OBJECT
public:
    CodingPage(TForm1* window, QWidget* parent = nullptr);
    // Draws the page from the session.
    void Render(Session& session);

private:
    void Build();
    void Connect();
    QPlainTextEdit* MakeCaseText(const char* name, int height);
    // Runs a core operation through the window (held back while another runs).
    template <class F>
    void Command(F&& f);

    TForm1* window_;
    bool rendering_ = false;

    QComboBox* comboBox1_ = nullptr;
    LineListModel* selectorModel_ = nullptr;
    QToolButton* bitBtn1_ = nullptr;
    QToolButton* bitBtn2_ = nullptr;
    QToolButton* bitBtn3_ = nullptr;
    QToolButton* bitBtn4_ = nullptr;
    QLabel* label12_ = nullptr;
    QGroupBox* assignedGroup_ = nullptr;
    QPlainTextEdit* richEdit11_ = nullptr;
    QPlainTextEdit* richEdit12_ = nullptr;
    QPushButton* button1_ = nullptr;  // NOT APPLICABLE
    QPushButton* button2_ = nullptr;  // MISSING
    QPushButton* button3_ = nullptr;  // REPEAT
    QPushButton* button4_ = nullptr;  // CANCEL
    QPushButton* bitBtn5_ = nullptr;  // CODE
    QLineEdit* edit2_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QLineEdit* edit3_ = nullptr;
    std::array<QLabel*, 14> infoCaptions_{};
    std::array<QPlainTextEdit*, 14> infoBoxes_{};

    QTabWidget* pageControl2_ = nullptr;
    QListView* listBox1_ = nullptr;
    LineListModel* listBox1Model_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
    QListView* listBox2_ = nullptr;
    LineListModel* listBox2Model_ = nullptr;
    QPlainTextEdit* memo3_ = nullptr;
    std::uint64_t shownPreselectedVersion_ = UINT64_MAX;
    std::uint64_t shownFullListVersion_ = UINT64_MAX;
    std::uint64_t shownSelectorVersion_ = UINT64_MAX;
    int shownFullScroll_ = 0;
};

}  // namespace tarnwick::gui
