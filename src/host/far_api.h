// The host's plugin interface: records, function types and constants of the
// FAR Manager 1.70 generation (the 216-byte standard-function table), written
// for this project.
//
// On 32-bit Windows every record is packed to 2 bytes and every host function
// and export is __stdcall, exactly as the host expects. On 64-bit Windows the
// records have their natural layout and every field that the host declares
// pointer-sized (DWORD_PTR, INT_PTR, LONG_PTR) is pointer-sized here too, as
// the host's final 1.x declarations for old plugins have them: 64-bit FAR
// Manager 2.x and 3.x read the plugin's records in that layout. Linux (farhost
// and the plugin it loads) uses the same declarations as 64-bit Windows.
// Code never writes a record size as a literal: it uses sizeof.
//
// Strings that cross this interface are 8-bit OEM text.
#ifndef TOLVANE_HOST_FAR_API_H
#define TOLVANE_HOST_FAR_API_H

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FARAPI __stdcall
#define FARAPIV __cdecl
#define FAR_EXPORT extern "C"
#else
#define FARAPI
#define FARAPIV
#define FAR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef uint32_t DWORD;
typedef void* HANDLE;
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

enum { NM = 260, FAR_MAX_PATH = 260 };

#if defined(_WIN32) && !defined(_WIN64)
#define FAR_ABI_PACKED 1
#pragma pack(push, 2)
#endif

struct FarFileTime {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// The ANSI find-data record, declared here so that its size never depends
// on the order in which system headers were included.
struct FarFindData {
  DWORD dwFileAttributes;
  FarFileTime ftCreationTime;
  FarFileTime ftLastAccessTime;
  FarFileTime ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[FAR_MAX_PATH];
  char cAlternateFileName[14];
};

struct PluginPanelItem {
  FarFindData FindData;
  DWORD PackSizeHigh;
  DWORD PackSize;
  DWORD Flags;
  DWORD NumberOfLinks;
  char* Description;
  char* Owner;
  char** CustomColumnData;
  int CustomColumnNumber;
  uintptr_t UserData;
  DWORD CRC32;
  uintptr_t Reserved[2];
};

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct FarListItem {
  DWORD Flags;
  char Text[124];
};

struct FarList {
  int ItemsNumber;
  FarListItem* Items;
};

struct FarDialogItem {
  int Type;
  int X1;
  int Y1;
  int X2;
  int Y2;
  int Focus;
  union {
    intptr_t Reserved;  // the whole pointer-sized word
    int Selected;
    const char* History;
    const char* Mask;
    FarList* ListItems;
    void* VBuf;
  };
  DWORD Flags;
  int DefaultButton;
  char Data[512];
};

struct FarRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct PanelInfo {
  int PanelType;
  int Plugin;
  FarRect PanelRect;
  PluginPanelItem* PanelItems;
  int ItemsNumber;
  PluginPanelItem* SelectedItems;
  int SelectedItemsNumber;
  int CurrentItem;
  int TopPanelItem;
  int Visible;
  int Focus;
  int ViewMode;
  char ColumnTypes[80];
  char ColumnWidths[80];
  char CurDir[NM];
  int ShortNames;
  int SortMode;
  DWORD Flags;
  DWORD Reserved;
};

struct PanelRedrawInfo {
  int CurrentItem;
  int TopPanelItem;
};

struct InfoPanelLine {
  char Text[80];
  char Data[80];
  int Separator;
};

struct PanelMode {
  char* ColumnTypes;
  char* ColumnWidths;
  char** ColumnTitles;
  int FullScreen;
  int DetailedStatus;
  int AlignExtensions;
  int CaseConversion;
  char* StatusColumnTypes;
  char* StatusColumnWidths;
  DWORD Reserved[2];
};

struct KeyBarTitles {
  char* Titles[12];
  char* CtrlTitles[12];
  char* AltTitles[12];
  char* ShiftTitles[12];
  char* CtrlShiftTitles[12];
  char* AltShiftTitles[12];
  char* CtrlAltTitles[12];
};

struct OpenPluginInfo {
  int StructSize;
  DWORD Flags;
  const char* HostFile;
  const char* CurDir;
  const char* Format;
  const char* PanelTitle;
  const InfoPanelLine* InfoLines;
  int InfoLinesNumber;
  const char* const* DescrFiles;
  int DescrFilesNumber;
  const PanelMode* PanelModesArray;
  int PanelModesNumber;
  int StartPanelMode;
  int StartSortMode;
  int StartSortOrder;
  const KeyBarTitles* KeyBar;
  const char* ShortcutData;
  int32_t Reserved;  // a long in the host's declaration: 32 bits on Windows
};

struct PluginInfo {
  int StructSize;
  DWORD Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
  DWORD Reserved;
};

// Comparison callbacks handed to the host's qsort are cdecl on Windows.
typedef int(FARAPIV* FarCompareFunc)(const void*, const void*);

typedef int(FARAPI* FARSTDATOI)(const char* s);
typedef int64_t(FARAPI* FARSTDATOI64)(const char* s);
typedef char*(FARAPI* FARSTDITOA)(int value, char* buffer, int radix);
typedef char*(FARAPI* FARSTDITOA64)(int64_t value, char* buffer, int radix);
typedef int(FARAPIV* FARSTDSPRINTF)(char* buffer, const char* format, ...);
typedef int(FARAPIV* FARSTDSSCANF)(const char* buffer, const char* format, ...);
typedef void(FARAPI* FARSTDQSORT)(void* base, size_t count, size_t width,
                                  FarCompareFunc compare);
typedef void(FARAPI* FARSTDQSORTEX)(void* base, size_t count, size_t width,
                                    int(FARAPIV* compare)(const void*,
                                                          const void*, void*),
                                    void* user);
typedef void*(FARAPI* FARSTDBSEARCH)(const void* key, const void* base,
                                     size_t count, size_t width,
                                     FarCompareFunc compare);
typedef int(FARAPI* FARSTDLOCALISX)(unsigned ch);
typedef unsigned(FARAPI* FARSTDLOCALTOX)(unsigned ch);
typedef void(FARAPI* FARSTDLOCALBUF)(char* buffer, int length);
typedef void(FARAPI* FARSTDLOCALSTR)(char* text);
typedef int(FARAPI* FARSTDLOCALSTRICMP)(const char* a, const char* b);
typedef int(FARAPI* FARSTDLOCALSTRNICMP)(const char* a, const char* b, int n);
typedef void(FARAPI* FARSTDUNQUOTE)(char* text);
typedef DWORD(FARAPI* FARSTDEXPANDENV)(const char* source, char* dest,
                                       size_t size);
typedef char*(FARAPI* FARSTDTRIM)(char* text);
typedef char*(FARAPI* FARSTDTRUNC)(char* text, int maxLength);
typedef char*(FARAPI* FARSTDQUOTE)(char* text);
typedef char*(FARAPI* FARSTDPOINTTONAME)(const char* path);
typedef void(FARAPI* FARSTDGETPATHROOT)(const char* path, char* root);
typedef int(FARAPI* FARSTDADDENDSLASH)(char* path);
typedef int(FARAPI* FARSTDCOPYTOCLIPBOARD)(const char* data);
typedef char*(FARAPI* FARSTDPASTEFROMCLIPBOARD)(void);
typedef int(FARAPI* FARSTDKEYTONAME)(int key, char* buffer, int size);
typedef int(FARAPI* FARSTDNAMETOKEY)(const char* name);
typedef int(FARAPI* FARSTDINPUTRECORDTOKEY)(const void* record);
typedef char*(FARAPI* FARSTDXLAT)(char* line, int start, int end,
                                  const void* table, DWORD flags);
typedef int(FARAPI* FARSTDGETFILEOWNER)(const char* computer, const char* name,
                                        char* owner);
typedef int(FARAPI* FARSTDGETNUMBEROFLINKS)(const char* name);
typedef int(FARAPI* FRSUSERFUNC)(const FarFindData* data, const char* fullName,
                                 void* param);
typedef void(FARAPI* FARSTDRECURSIVESEARCH)(const char* initDir,
                                            const char* mask,
                                            FRSUSERFUNC function, DWORD flags,
                                            void* param);
typedef char*(FARAPI* FARSTDMKTEMP)(char* dest, const char* prefix);
typedef void(FARAPI* FARSTDDELETEBUFFER)(char* buffer);
typedef int(FARAPI* FARSTDPROCESSNAME)(const char* param1, char* param2,
                                       DWORD flags);

// The standard-function table of the 216-byte generation. Later hosts append
// members after ProcessName, so this layout is a prefix of theirs.
struct FarStandardFunctions {
  int StructSize;
  FARSTDATOI atoi;
  FARSTDATOI64 atoi64;
  FARSTDITOA itoa;
  FARSTDITOA64 itoa64;
  FARSTDSPRINTF sprintf;
  FARSTDSSCANF sscanf;
  FARSTDQSORT qsort;
  FARSTDBSEARCH bsearch;
  FARSTDQSORTEX qsortex;
  void* Reserved[9];
  FARSTDLOCALISX LIsLower;
  FARSTDLOCALISX LIsUpper;
  FARSTDLOCALISX LIsAlpha;
  FARSTDLOCALISX LIsAlphanum;
  FARSTDLOCALTOX LUpper;
  FARSTDLOCALTOX LLower;
  FARSTDLOCALBUF LUpperBuf;
  FARSTDLOCALBUF LLowerBuf;
  FARSTDLOCALSTR LStrupr;
  FARSTDLOCALSTR LStrlwr;
  FARSTDLOCALSTRICMP LStricmp;
  FARSTDLOCALSTRNICMP LStrnicmp;
  FARSTDUNQUOTE Unquote;
  FARSTDEXPANDENV ExpandEnvironmentStr;
  FARSTDTRIM LTrim;
  FARSTDTRIM RTrim;
  FARSTDTRIM Trim;
  FARSTDTRUNC TruncStr;
  FARSTDTRUNC TruncPathStr;
  FARSTDQUOTE QuoteSpaceOnly;
  FARSTDPOINTTONAME PointToName;
  FARSTDGETPATHROOT GetPathRoot;
  FARSTDADDENDSLASH AddEndSlash;
  FARSTDCOPYTOCLIPBOARD CopyToClipboard;
  FARSTDPASTEFROMCLIPBOARD PasteFromClipboard;
  FARSTDKEYTONAME FarKeyToName;
  FARSTDNAMETOKEY FarNameToKey;
  FARSTDINPUTRECORDTOKEY FarInputRecordToKey;
  FARSTDXLAT XLat;
  FARSTDGETFILEOWNER GetFileOwner;
  FARSTDGETNUMBEROFLINKS GetNumberOfLinks;
  FARSTDRECURSIVESEARCH FarRecursiveSearch;
  FARSTDMKTEMP MkTemp;
  FARSTDDELETEBUFFER DeleteBuffer;
  FARSTDPROCESSNAME ProcessName;
};

typedef int(FARAPI* FARAPIMENU)(intptr_t pluginNumber, int x, int y,
                                int maxHeight, DWORD flags, const char* title,
                                const char* bottom, const char* helpTopic,
                                const int* breakKeys, int* breakCode,
                                const FarMenuItem* items, int itemsNumber);
typedef int(FARAPI* FARAPIDIALOG)(intptr_t pluginNumber, int x1, int y1, int x2,
                                  int y2, const char* helpTopic,
                                  FarDialogItem* items, int itemsNumber);
typedef int(FARAPI* FARAPIMESSAGE)(intptr_t pluginNumber, DWORD flags,
                                   const char* helpTopic,
                                   const char* const* items, int itemsNumber,
                                   int buttonsNumber);
typedef const char*(FARAPI* FARAPIGETMSG)(intptr_t pluginNumber, int msgId);
typedef int(FARAPI* FARAPICONTROL)(HANDLE plugin, int command, void* param);
typedef HANDLE(FARAPI* FARAPISAVESCREEN)(int x1, int y1, int x2, int y2);
typedef void(FARAPI* FARAPIRESTORESCREEN)(HANDLE screen);
typedef int(FARAPI* FARAPIGETDIRLIST)(const char* dir, PluginPanelItem** items,
                                      int* count);
typedef int(FARAPI* FARAPIGETPLUGINDIRLIST)(intptr_t pluginNumber,
                                            HANDLE plugin, const char* dir,
                                            PluginPanelItem** items,
                                            int* count);
typedef void(FARAPI* FARAPIFREEDIRLIST)(const PluginPanelItem* items);
typedef int(FARAPI* FARAPIVIEWER)(const char* fileName, const char* title,
                                  int x1, int y1, int x2, int y2, DWORD flags);
typedef int(FARAPI* FARAPIEDITOR)(const char* fileName, const char* title,
                                  int x1, int y1, int x2, int y2, DWORD flags,
                                  int startLine, int startChar);
typedef int(FARAPI* FARAPICMPNAME)(const char* pattern, const char* name,
                                   int skipPath);
typedef int(FARAPI* FARAPICHARTABLE)(int command, char* buffer, int size);
typedef void(FARAPI* FARAPITEXT)(int x, int y, int color, const char* text);
typedef int(FARAPI* FARAPIEDITORCONTROL)(int command, void* param);
typedef int(FARAPI* FARAPISHOWHELP)(const char* moduleName, const char* topic,
                                    DWORD flags);
typedef intptr_t(FARAPI* FARAPIADVCONTROL)(intptr_t moduleNumber, int command,
                                           void* param);
typedef int(FARAPI* FARAPIINPUTBOX)(const char* title, const char* subTitle,
                                    const char* historyName,
                                    const char* srcText, char* destText,
                                    int destLength, const char* helpTopic,
                                    DWORD flags);
typedef intptr_t(FARAPI* FARWINDOWPROC)(HANDLE dialog, int msg, int param1,
                                        intptr_t param2);
typedef int(FARAPI* FARAPIDIALOGEX)(intptr_t pluginNumber, int x1, int y1,
                                    int x2, int y2, const char* helpTopic,
                                    FarDialogItem* items, int itemsNumber,
                                    DWORD reserved, DWORD flags,
                                    FARWINDOWPROC dialogProc, intptr_t param);
typedef intptr_t(FARAPI* FARAPISENDDLGMESSAGE)(HANDLE dialog, int msg,
                                               int param1, intptr_t param2);
typedef intptr_t(FARAPI* FARAPIDEFDLGPROC)(HANDLE dialog, int msg, int param1,
                                           intptr_t param2);

struct PluginStartupInfo {
  int StructSize;
  char ModuleName[NM];
  intptr_t ModuleNumber;  // the host may pass an address here
  const char* RootKey;
  FARAPIMENU Menu;
  FARAPIDIALOG Dialog;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPICONTROL Control;
  FARAPISAVESCREEN SaveScreen;
  FARAPIRESTORESCREEN RestoreScreen;
  FARAPIGETDIRLIST GetDirList;
  FARAPIGETPLUGINDIRLIST GetPluginDirList;
  FARAPIFREEDIRLIST FreeDirList;
  FARAPIVIEWER Viewer;
  FARAPIEDITOR Editor;
  FARAPICMPNAME CmpName;
  FARAPICHARTABLE CharTable;
  FARAPITEXT Text;
  FARAPIEDITORCONTROL EditorControl;
  FarStandardFunctions* FSF;
  FARAPISHOWHELP ShowHelp;
  FARAPIADVCONTROL AdvControl;
  FARAPIINPUTBOX InputBox;
  FARAPIDIALOGEX DialogEx;
  FARAPISENDDLGMESSAGE SendDlgMessage;
  FARAPIDEFDLGPROC DefDlgProc;
  uintptr_t Reserved;
  void* ViewerControl;
};

#if defined(FAR_ABI_PACKED)
#undef FAR_ABI_PACKED
#pragma pack(pop)
#endif

// The exported entry points, as the host looks them up by their plain names.
typedef void(FARAPI* SetStartupInfoFunc)(const PluginStartupInfo* info);
typedef void(FARAPI* GetPluginInfoFunc)(PluginInfo* info);
typedef HANDLE(FARAPI* OpenPluginFunc)(int openFrom, intptr_t item);
typedef void(FARAPI* ClosePluginFunc)(HANDLE plugin);
typedef void(FARAPI* GetOpenPluginInfoFunc)(HANDLE plugin,
                                            OpenPluginInfo* info);
typedef int(FARAPI* SetDirectoryFunc)(HANDLE plugin, const char* dir,
                                      int opMode);
typedef int(FARAPI* GetFindDataFunc)(HANDLE plugin, PluginPanelItem** items,
                                     int* count, int opMode);
typedef void(FARAPI* FreeFindDataFunc)(HANDLE plugin, PluginPanelItem* items,
                                       int count);
typedef int(FARAPI* CompareFunc)(HANDLE plugin, const PluginPanelItem* item1,
                                 const PluginPanelItem* item2,
                                 unsigned int mode);
typedef int(FARAPI* ProcessKeyFunc)(HANDLE plugin, int key,
                                    unsigned int controlState);
typedef int(FARAPI* ProcessEventFunc)(HANDLE plugin, int event, void* param);
typedef int(FARAPI* GetFilesFunc)(HANDLE plugin, PluginPanelItem* items,
                                  int count, int move, char* destPath,
                                  int opMode);
typedef int(FARAPI* ConfigureFunc)(int itemNumber);

// Where the plugin was opened from (OpenPlugin's first argument).
enum {
  OPEN_DISKMENU = 0,
  OPEN_PLUGINSMENU = 1,
  OPEN_FINDLIST = 2,
  OPEN_SHORTCUT = 3,
  OPEN_COMMANDLINE = 4,
  OPEN_EDITOR = 5,
  OPEN_VIEWER = 6,
};

// Operation modes.
enum {
  OPM_SILENT = 0x01,
  OPM_FIND = 0x02,
  OPM_VIEW = 0x04,
  OPM_EDIT = 0x08,
  OPM_TOPLEVEL = 0x10,
  OPM_DESCR = 0x20,
};

// Control commands.
enum {
  FCTL_CLOSEPLUGIN = 0,
  FCTL_GETPANELINFO = 1,
  FCTL_GETANOTHERPANELINFO = 2,
  FCTL_UPDATEPANEL = 3,
  FCTL_UPDATEANOTHERPANEL = 4,
  FCTL_REDRAWPANEL = 5,
  FCTL_REDRAWANOTHERPANEL = 6,
  FCTL_SETANOTHERPANELDIR = 7,
  FCTL_GETCMDLINE = 8,
  FCTL_SETCMDLINE = 9,
  FCTL_SETSELECTION = 10,
  FCTL_SETANOTHERSELECTION = 11,
  FCTL_SETVIEWMODE = 12,
  FCTL_SETANOTHERVIEWMODE = 13,
  FCTL_INSERTCMDLINE = 14,
  FCTL_SETUSERSCREEN = 15,
  FCTL_SETPANELDIR = 16,
  FCTL_SETCMDLINEPOS = 17,
  FCTL_GETCMDLINEPOS = 18,
  FCTL_SETSORTMODE = 19,
  FCTL_SETANOTHERSORTMODE = 20,
  FCTL_SETSORTORDER = 21,
  FCTL_SETANOTHERSORTORDER = 22,
};

// Dialog item types.
enum {
  DI_TEXT = 0,
  DI_VTEXT = 1,
  DI_SINGLEBOX = 2,
  DI_DOUBLEBOX = 3,
  DI_EDIT = 4,
  DI_PSWEDIT = 5,
  DI_FIXEDIT = 6,
  DI_BUTTON = 7,
  DI_CHECKBOX = 8,
  DI_RADIOBUTTON = 9,
};

// Dialog item flags.
enum : DWORD {
  DIF_COLORMASK = 0x000000FFu,
  DIF_SETCOLOR = 0x00000100u,
  DIF_BOXCOLOR = 0x00000200u,
  DIF_GROUP = 0x00000400u,
  DIF_LEFTTEXT = 0x00000800u,
  DIF_MOVESELECT = 0x00001000u,
  DIF_SHOWAMPERSAND = 0x00002000u,
  DIF_CENTERGROUP = 0x00004000u,
  DIF_NOBRACKETS = 0x00008000u,
  DIF_SEPARATOR = 0x00010000u,
  DIF_EDITOR = 0x00020000u,
  DIF_HISTORY = 0x00040000u,
  DIF_EDITEXPAND = 0x00080000u,
  DIF_DROPDOWNLIST = 0x00100000u,
  DIF_USELASTHISTORY = 0x00200000u,
  DIF_MASKEDIT = 0x00400000u,
  DIF_SELECTONENTRY = 0x00800000u,
  DIF_HIDDEN = 0x10000000u,
  DIF_READONLY = 0x20000000u,
  DIF_NOFOCUS = 0x40000000u,
  DIF_DISABLE = 0x80000000u,
};

// Menu, message and input box flags.
enum : DWORD {
  FMENU_SHOWAMPERSAND = 0x01,
  FMENU_WRAPMODE = 0x02,
  FMENU_AUTOHIGHLIGHT = 0x04,
  FMENU_REVERSEAUTOHIGHLIGHT = 0x08,
};
enum : DWORD {
  FMSG_WARNING = 0x01,
  FMSG_ERRORTYPE = 0x02,
  FMSG_KEEPBACKGROUND = 0x04,
  FMSG_DOWN = 0x08,
  FMSG_LEFTALIGN = 0x10,
  FMSG_ALLINONE = 0x20,
  FMSG_MB_OK = 0x10000,
  FMSG_MB_OKCANCEL = 0x20000,
  FMSG_MB_ABORTRETRYIGNORE = 0x30000,
  FMSG_MB_YESNO = 0x40000,
  FMSG_MB_YESNOCANCEL = 0x50000,
  FMSG_MB_RETRYCANCEL = 0x60000,
};
enum : DWORD {
  FIB_ENABLEEMPTY = 0x01,
  FIB_PASSWORD = 0x02,
  FIB_EXPANDENV = 0x04,
  FIB_NOUSELASTHISTORY = 0x08,
  FIB_BUTTONS = 0x10,
};

// Modifier bits of ProcessKey's control state.
enum : unsigned { PKF_CONTROL = 0x01, PKF_ALT = 0x02, PKF_SHIFT = 0x04 };

// Panel events.
enum {
  FE_CHANGEVIEWMODE = 0,
  FE_REDRAW = 1,
  FE_IDLE = 2,
  FE_CLOSE = 3,
  FE_BREAK = 4,
  FE_COMMAND = 5,
};

// OpenPluginInfo flags.
enum : DWORD {
  OPIF_USEFILTER = 0x0001,
  OPIF_USESORTGROUPS = 0x0002,
  OPIF_USEHIGHLIGHTING = 0x0004,
  OPIF_ADDDOTS = 0x0008,
  OPIF_RAWSELECTION = 0x0010,
  OPIF_REALNAMES = 0x0020,
  OPIF_SHOWNAMESONLY = 0x0040,
  OPIF_SHOWRIGHTALIGNNAMES = 0x0080,
  OPIF_SHOWPRESERVECASE = 0x0100,
  OPIF_FINDFOLDERS = 0x0200,
  OPIF_COMPAREFATTIME = 0x0400,
  OPIF_EXTERNALGET = 0x0800,
  OPIF_EXTERNALPUT = 0x1000,
  OPIF_EXTERNALDELETE = 0x2000,
  OPIF_EXTERNALMKDIR = 0x4000,
  OPIF_USEATTRHIGHLIGHTING = 0x8000,
};

// PluginPanelItem flags.
enum : DWORD {
  PPIF_PROCESSDESCR = 0x80000000u,
  PPIF_SELECTED = 0x40000000u,
  PPIF_USERDATA = 0x20000000u,
};

// Sort modes.
enum {
  SM_DEFAULT = 0,
  SM_UNSORTED = 1,
  SM_NAME = 2,
  SM_EXT = 3,
  SM_MTIME = 4,
  SM_CTIME = 5,
  SM_ATIME = 6,
  SM_SIZE = 7,
  SM_DESCR = 8,
  SM_OWNER = 9,
  SM_COMPRESSEDSIZE = 10,
  SM_NUMLINKS = 11,
};

// Plugin flags (PluginInfo.Flags).
enum : DWORD {
  PF_PRELOAD = 0x01,
  PF_DISABLEPANELS = 0x02,
  PF_EDITOR = 0x04,
  PF_VIEWER = 0x08,
  PF_FULLCMDLINE = 0x10,
};

// File attributes used in panel items.
enum : DWORD {
  FILE_ATTRIBUTE_READONLY = 0x01,
  FILE_ATTRIBUTE_HIDDEN = 0x02,
  FILE_ATTRIBUTE_SYSTEM = 0x04,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_ARCHIVE = 0x20,
  FILE_ATTRIBUTE_NORMAL = 0x80,
};

// Virtual-key codes the plugin handles.
enum {
  VK_RETURN = 0x0D,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_NUMPAD0 = 0x60,  // also Ins of the keypad, as the host delivers it
  VK_F1 = 0x70,
  VK_F3 = 0x72,
  VK_F4 = 0x73,
  VK_F7 = 0x76,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
};

enum { PTYPE_FILEPANEL = 0, PTYPE_TREEPANEL = 1 };
enum { ACTL_GETFARVERSION = 0 };

// The layouts the hosts rely on. FAR_ABI_CHECK32 holds on every 32-bit
// build: the 32-bit host's records, packed to 2 bytes (a missing pack(2) or
// a member out of order fails here). FAR_ABI_CHECK64 holds on every 64-bit
// build: the records of 64-bit FAR Manager 2.x/3.x for old plugins, natural
// layout with pointer-sized DWORD_PTR, INT_PTR and LONG_PTR fields; farhost
// on 64-bit Linux uses the same layout.
#define FAR_ABI_CHECK32(cond) static_assert(sizeof(void*) != 4 || (cond), #cond)
#define FAR_ABI_CHECK64(cond) static_assert(sizeof(void*) != 8 || (cond), #cond)
FAR_ABI_CHECK32(sizeof(FarFindData) == 318);
FAR_ABI_CHECK32(sizeof(PluginPanelItem) == 366);
FAR_ABI_CHECK32(offsetof(PluginPanelItem, UserData) == 350);
FAR_ABI_CHECK32(offsetof(PluginPanelItem, Description) == 334);
FAR_ABI_CHECK32(sizeof(PluginStartupInfo) == 372);
FAR_ABI_CHECK32(offsetof(PluginStartupInfo, FSF) == 336);
FAR_ABI_CHECK32(offsetof(PluginStartupInfo, InputBox) == 348);
FAR_ABI_CHECK32(offsetof(PluginStartupInfo, RootKey) == 268);
FAR_ABI_CHECK32(sizeof(FarStandardFunctions) == 216);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, qsortex) == 36);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, LIsLower) == 76);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, LStricmp) == 116);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, AddEndSlash) == 164);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, CopyToClipboard) == 168);
FAR_ABI_CHECK32(offsetof(FarStandardFunctions, ProcessName) == 212);
FAR_ABI_CHECK32(sizeof(PluginInfo) == 44);
FAR_ABI_CHECK32(sizeof(OpenPluginInfo) == 72);
FAR_ABI_CHECK32(sizeof(PanelMode) == 44);
FAR_ABI_CHECK32(sizeof(KeyBarTitles) == 336);
FAR_ABI_CHECK32(sizeof(FarMenuItem) == 140);
FAR_ABI_CHECK32(sizeof(FarDialogItem) == 548);
FAR_ABI_CHECK32(offsetof(FarDialogItem, Data) == 36);
FAR_ABI_CHECK32(offsetof(FarDialogItem, DefaultButton) == 32);
FAR_ABI_CHECK32(sizeof(PanelInfo) == 496);
FAR_ABI_CHECK32(offsetof(PanelInfo, CurDir) == 220);
FAR_ABI_CHECK32(sizeof(PanelRedrawInfo) == 8);
FAR_ABI_CHECK32(sizeof(InfoPanelLine) == 164);

FAR_ABI_CHECK64(sizeof(FarFindData) == 320);
FAR_ABI_CHECK64(sizeof(PluginPanelItem) == 400);
FAR_ABI_CHECK64(offsetof(PluginPanelItem, Description) == 336);
FAR_ABI_CHECK64(offsetof(PluginPanelItem, CustomColumnNumber) == 360);
FAR_ABI_CHECK64(offsetof(PluginPanelItem, UserData) == 368);
FAR_ABI_CHECK64(offsetof(PluginPanelItem, CRC32) == 376);
FAR_ABI_CHECK64(offsetof(PluginPanelItem, Reserved) == 384);
FAR_ABI_CHECK64(sizeof(PluginStartupInfo) == 480);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, ModuleNumber) == 264);
FAR_ABI_CHECK64(sizeof(PluginStartupInfo::ModuleNumber) == 8);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, RootKey) == 272);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, FSF) == 408);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, InputBox) == 432);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, Reserved) == 464);
FAR_ABI_CHECK64(offsetof(PluginStartupInfo, ViewerControl) == 472);
FAR_ABI_CHECK64(sizeof(FarStandardFunctions) == 432);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, qsortex) == 72);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, LIsLower) == 152);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, LStricmp) == 232);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, PointToName) == 312);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, AddEndSlash) == 328);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, CopyToClipboard) == 336);
FAR_ABI_CHECK64(offsetof(FarStandardFunctions, ProcessName) == 424);
FAR_ABI_CHECK64(sizeof(PluginInfo) == 80);
FAR_ABI_CHECK64(offsetof(PluginInfo, CommandPrefix) == 64);
FAR_ABI_CHECK64(sizeof(OpenPluginInfo) == 120);
FAR_ABI_CHECK64(offsetof(OpenPluginInfo, KeyBar) == 96);
FAR_ABI_CHECK64(offsetof(OpenPluginInfo, ShortcutData) == 104);
FAR_ABI_CHECK64(sizeof(PanelMode) == 64);
FAR_ABI_CHECK64(offsetof(PanelMode, StatusColumnTypes) == 40);
FAR_ABI_CHECK64(sizeof(KeyBarTitles) == 672);
FAR_ABI_CHECK64(sizeof(FarMenuItem) == 140);
FAR_ABI_CHECK64(sizeof(FarDialogItem) == 552);
FAR_ABI_CHECK64(offsetof(FarDialogItem, Selected) == 24);
FAR_ABI_CHECK64(offsetof(FarDialogItem, Flags) == 32);
FAR_ABI_CHECK64(offsetof(FarDialogItem, DefaultButton) == 36);
FAR_ABI_CHECK64(offsetof(FarDialogItem, Data) == 40);
FAR_ABI_CHECK64(sizeof(PanelInfo) == 512);
FAR_ABI_CHECK64(offsetof(PanelInfo, PanelItems) == 24);
FAR_ABI_CHECK64(offsetof(PanelInfo, SelectedItems) == 40);
FAR_ABI_CHECK64(offsetof(PanelInfo, CurrentItem) == 52);
FAR_ABI_CHECK64(offsetof(PanelInfo, CurDir) == 232);
FAR_ABI_CHECK64(offsetof(PanelInfo, Flags) == 500);
FAR_ABI_CHECK64(sizeof(PanelRedrawInfo) == 8);
FAR_ABI_CHECK64(sizeof(InfoPanelLine) == 164);
#undef FAR_ABI_CHECK32
#undef FAR_ABI_CHECK64

#endif  // TOLVANE_HOST_FAR_API_H
