// MDIForm1: the program's frame. Its menu bar and toolbar switch between the four views, its
// one timer runs the reminder check every minute, and closing it ends the program.
#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class QToolBar;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: splash, data folder, data files, the four views. Returns false
    // when a data file cannot be opened (the message has been shown).
    bool startUp();
    // Where the program keeps its drawing of the splash screen and the month's marks between
    // runs (the user's cache folder); empty: both are made anew at every start, and not kept.
    QString cacheFolder;

    // Hides the other three views and shows `target` maximized in front.
    void ShowChildView(QWidget *target);

    // Puts a view into the multiple-document area (used when a view is created).
    QMdiSubWindow *addView(QWidget *view);
    // The sub-window that frames a view, or nullptr.
    QMdiSubWindow *subWindowOf(const QWidget *view) const;
    QMdiArea *mdiArea() const { return m_mdiArea; }

    QToolBar *Toolbar1 = nullptr;
    QTimer *Timer1 = nullptr;
    QAction *Import = nullptr;
    QAction *exit = nullptr;
    QAction *Calendar = nullptr;
    QAction *Notes = nullptr;
    QAction *ABook = nullptr;
    QAction *MDesk = nullptr;
    QAction *Find = nullptr;
    QAction *About = nullptr;
    QAction *Help = nullptr;

    void Toolbar1_ButtonClick(QAction *button);
    void Timer1_Timer();

    QMenu *createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void showAbout();
    void showHelpTopics();

    QMdiArea *m_mdiArea = nullptr;
};
