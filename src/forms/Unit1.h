#pragma once

// The main window: banner, three pages (records, settings, about), the bottom
// row of buttons and the status bar; it also owns the database connection and
// its queries, the four timers, the tray icon with its menu and the skin.
// The handlers are defined in the folder of the subsystem they belong to.

#include <QWidget>

#include "store/RecordStatements.h"

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

class TADOConnection;
class TPopupMenu;
class TSkin;
class TTrayIcon;
class TADOQuery;
class TDataSource;
class TClickLabel;
class TStatusBar;
class RecordGridModel;
class TSyncSession;
namespace transfer {
enum class Format;
}
namespace booksync {
struct SyncReport;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Closes the window: FormClose, then the program ends when this is the
    // application's main form. An error in FormClose propagates and stops both.
    void Close();

    // Called by the program entry once every start-up window exists: arms the
    // one-shot login check when start-up asked for it, and from then on keeps
    // the program reachable after every event (KeepReachable).
    void StartupCompleted();

    // --- top level -----------------------------------------------------------
    TClickLabel* Image2 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QPushButton* Button_CheckLogin = nullptr;
    QPushButton* ButtonWEB = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button_HIde = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    // --- page "通讯录管理" -------------------------------------------------------
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBoxSeachClass = nullptr;
    QLineEdit* searchkeyword = nullptr;
    QPushButton* Button_Search = nullptr;
    QLabel* Label16 = nullptr;
    QComboBox* ComboBoxClass = nullptr;
    QPushButton* Button_First = nullptr;
    QPushButton* Button_Prior = nullptr;
    QPushButton* Button_Next = nullptr;
    QPushButton* Button_Last = nullptr;
    QPushButton* Button_Refresh = nullptr;
    QTableView* DBGrid1 = nullptr;

    QGroupBox* GroupBox4 = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* Edit_FenLei = nullptr;
    QPushButton* Button_Edit_FenLei_add = nullptr;
    QPushButton* Button_Edit_FenLei_Del = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit_XingMing = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit_QQ = nullptr;
    QPushButton* Button8 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit_ShouJi = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit_DianHua = nullptr;
    QLabel* Label22 = nullptr;
    QLineEdit* Edit_ChuanZhen = nullptr;
    QLabel* Label28 = nullptr;
    QLineEdit* Edit_YouXiang = nullptr;
    QPushButton* Button6 = nullptr;
    QLabel* Label29 = nullptr;
    QLineEdit* Edit_WangZhi = nullptr;
    QPushButton* Button5 = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Memo_BeiZhu = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QLineEdit* Edit_BianHao = nullptr;
    QPushButton* Button_ClearAllEdit = nullptr;

    // --- page "软件设置" ---------------------------------------------------------
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* Edit_Pass_A = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Edit_Pass_B = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button_PassCleal = nullptr;
    QLabel* Label17 = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    QPushButton* Button11 = nullptr;
    QLabel* Label21 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QPushButton* Button9 = nullptr;
    QLabel* Label18 = nullptr;
    QGroupBox* GroupBox7 = nullptr;
    QPushButton* Button_ExportCsv = nullptr;
    QPushButton* Button_ExportVCard = nullptr;
    QPushButton* Button_ImportCsv = nullptr;
    QPushButton* Button_ImportVCard = nullptr;
    QLabel* Label30 = nullptr;
    QGroupBox* GroupBox8 = nullptr; // "通讯录同步"
    QLabel* Label31 = nullptr;
    QLineEdit* Edit_SyncServer = nullptr;
    QLabel* Label32 = nullptr;
    QLineEdit* Edit_SyncUser = nullptr;
    QLabel* Label33 = nullptr;
    QLineEdit* Edit_SyncPass = nullptr;
    QLabel* Label34 = nullptr;
    QComboBox* ComboBox_SyncBook = nullptr;
    QPushButton* Button_Sync = nullptr;
    QPushButton* Button_SyncConflicts = nullptr;
    QCheckBox* CheckBox_SyncKeepPass = nullptr;
    QLabel* Label_SyncStatus = nullptr;
    QLabel* Label35 = nullptr;

    // --- page "关于我们" ---------------------------------------------------------
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* EditVer = nullptr;
    TClickLabel* Label12 = nullptr;
    TClickLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QFrame* Bevel1 = nullptr;
    TClickLabel* Label23 = nullptr;
    TClickLabel* Label24 = nullptr;
    TClickLabel* Label25 = nullptr;
    TClickLabel* Label26 = nullptr;
    TClickLabel* Label27 = nullptr;

    // --- tray menu ---------------------------------------------------------------
    TPopupMenu* PopupMenu1 = nullptr;
    QAction* Aboutme = nullptr;
    QAction* N2 = nullptr;
    QAction* ShowME = nullptr;
    QAction* HideME = nullptr;
    QAction* N1 = nullptr;
    QAction* CloseMe = nullptr;

    // --- non-visual parts ----------------------------------------------------------
    std::unique_ptr<TADOConnection> ADOConnection1;
    TADOQuery* ADOQuery1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    TADOQuery* ADOQuery_Pass = nullptr;
    QTimer* Timer_CheckLogin = nullptr;
    QTimer* Timer_ClearClipbrd = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer_CloseMe = nullptr;
    QTimer* Timer_Sync = nullptr;      // a few seconds after an edit
    QTimer* Timer_SyncEvery = nullptr; // every 15 minutes
    TTrayIcon* TrayIcon1 = nullptr;
    TSkin* Skin1 = nullptr;
    RecordGridModel* GridModel = nullptr;

    // --- life cycle (app) -----------------------------------------------------------
    void FormCreate(QObject* Sender);
    void FormClose(QObject* Sender);
    void Timer_CheckLoginTimer(QObject* Sender);
    void Timer1Timer(QObject* Sender);
    void Timer_CloseMeTimer(QObject* Sender);
    void Timer_ClearClipbrdTimer(QObject* Sender);
    void HideMEClick(QObject* Sender);
    void ShowMEClick(QObject* Sender);
    void CloseMeClick(QObject* Sender);
    void Button_HIdeClick(QObject* Sender);
    void Button4Click(QObject* Sender);
    void TrayIcon1Click(QObject* Sender);

    // --- records (store) ----------------------------------------------------------
    void Button_RefreshClick(QObject* Sender);
    void Button_SearchClick(QObject* Sender);
    void ComboBoxClassChange(QObject* Sender);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void Button3Click(QObject* Sender);
    void Button_Edit_FenLei_addClick(QObject* Sender);
    void Button_Edit_FenLei_DelClick(QObject* Sender);
    void Button9Click(QObject* Sender);
    void Button11Click(QObject* Sender);

    // --- password (security) ------------------------------------------------------
    void Button_CheckLoginClick(QObject* Sender);
    void Button7Click(QObject* Sender);
    void Button_PassClealClick(QObject* Sender);

    // --- import and export (transfer) ---------------------------------------------
    void Button_ExportCsvClick(QObject* Sender);
    void Button_ExportVCardClick(QObject* Sender);
    void Button_ImportCsvClick(QObject* Sender);
    void Button_ImportVCardClick(QObject* Sender);

    // --- contact server sync (sync) ------------------------------------------------
    void Button_SyncClick(QObject* Sender);
    void Button_SyncConflictsClick(QObject* Sender);
    void Timer_SyncTimer(QObject* Sender);
    void Timer_SyncEveryTimer(QObject* Sender);
    // A sync with the stored settings, as at login (nothing when none are stored).
    void SyncAtLogin();

    // --- editor, selection, navigation (ui) -----------------------------------------
    void DBGrid1CellClick(QObject* Sender);
    void Button_ClearAllEditClick(QObject* Sender);
    void Button_FirstClick(QObject* Sender);
    void Button_PriorClick(QObject* Sender);
    void Button_NextClick(QObject* Sender);
    void Button_LastClick(QObject* Sender);
    void searchkeywordClick(QObject* Sender);
    void searchkeywordDblClick(QObject* Sender);

    // --- contact actions and links (ui) ---------------------------------------------
    void Button5Click(QObject* Sender);
    void Button6Click(QObject* Sender);
    void Button8Click(QObject* Sender);
    void AboutmeClick(QObject* Sender);
    void ButtonWEBClick(QObject* Sender);
    void Image2Click(QObject* Sender);
    void Label12Click(QObject* Sender);
    void Label23Click(QObject* Sender);
    void Label24Click(QObject* Sender);
    void Label25Click(QObject* Sender);
    void Label26Click(QObject* Sender);
    void Label27Click(QObject* Sender);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The program is never left running unseen: without a notification area,
    // once an event has been handled with no window on screen and none on its
    // way, the program ends as closing the login window ends it; should the
    // area vanish while the program waits in it, the login window comes
    // instead, as hiding brings it there. Runs after every event.
    void KeepReachable();
    // Without a notification area the login window, with its taskbar entry,
    // is the way back to a hidden main window.
    void ShowLoginWindowInstead();

    // Start-up steps that belong to other subsystems.
    void LoadCategoryLists();   // "class.dat" into both category boxes
    void HookGridWheel();       // the grid's wheel moves the current record
    void ShowTrayIcon();        // the tray icon becomes visible
    void WriteDesktopShortcut();

    // The editor's ten values, and the two checks that add and modify make.
    statements::RecordValues EditorValues() const;
    bool EditorHasCategoryAndName();
    // Panel 1 := the record list's current row number.
    void ShowCurrentRecordNumber();

    // Writes the editor box's categories to "class.dat" and reloads the filter box from it.
    void SaveCategoriesAndReloadFilter();

    // The group "导入导出" with its buttons bound (transfer/Unit1_TransferView.cpp),
    // and the work of its handlers.
    void CreateTransferGroup();
    void ExportRecords(transfer::Format format);
    void ImportRecords(transfer::Format format);
    // Appends the categories that the editor's box lacks, then saves the list.
    void AddCategories(const QStringList& categories);

    // The group "通讯录同步" with its timers (Unit1_SyncView.cpp), and the
    // work of its handlers (Unit1_Sync.cpp).
    void CreateSyncGroup();
    TSyncSession& SyncSession(); // made with its signals bound at first use
    void ShowStoredSyncSettings();
    void StartSync(bool byUser);
    void SyncFinished(const booksync::SyncReport& report);
    // After a reload or a deletion: a sync a few seconds later when a record waits to go up.
    void SyncSoonAfterEdit();
    // Every correct login (the login window's marker filled in) syncs.
    void WatchLogins();
    std::unique_ptr<TSyncSession> syncSession_;

    // Builds every control of the window (ui/Unit1_View.cpp), the tray icon,
    // and binds the events to their handlers.
    void CreateControls();
    void CreateTrayIcon();
    void BindEvents();

    bool loginCheckWanted_ = false;
    // What KeepReachable saw after the last event: a notification area, and
    // the program waiting in it with no window on screen.
    bool trayLastSeen_ = false;
    bool waitingInTray_ = false;
    // The category picked from Edit_FenLei's list while its text is unchanged, or -1.
    int pickedCategory_ = -1;
};

extern TForm1* Form1;
