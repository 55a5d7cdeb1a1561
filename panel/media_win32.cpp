// Media playback of audio and video quizzes: one media player control per question, hosted in
// its player host, playing the question's resource extracted to a file.
#include <windows.h>
#include <initguid.h>
#include <wmp.h>

#include <cstdlib>
#include <cstring>

#include "app/message.h"
#include "panel/media_file.h"
#include "panel/panel.h"

namespace {

typedef HRESULT(WINAPI* AttachControlFn)(IUnknown* control, HWND host, IUnknown** container);

const int MEDIA_RESOURCE_BASE = 400;

struct Media {
    HMODULE atl_module;
    AttachControlFn attach_control;
    bool com_started;
    HWND media_hosts[QUIZ_MAX_QUESTIONS];
    IWMPPlayer* media_players[QUIZ_MAX_QUESTIONS];
    IWMPControls* media_controls[QUIZ_MAX_QUESTIONS];
    int current_media_row;
    char current_media_file[MAX_PATH];
};
Media media;

bool is_media_quiz(const Quiz* quiz)
{
    return quiz->media_kind == MEDIA_AUDIO || quiz->media_kind == MEDIA_VIDEO;
}

#ifdef VORLO_TEST_SEAMS
// Test builds only: make the media support fail on purpose, as a machine without atl.dll or
// without a working player would.
bool seam_no_atl() { return std::getenv("VORLO_TEST_NO_ATL") != nullptr; }
bool seam_player_fails(int q)
{
    const char* at = std::getenv("VORLO_TEST_PLAYER_FAILS_AT");
    return at && std::atoi(at) == q;
}
#else
bool seam_no_atl() { return false; }
bool seam_player_fails(int) { return false; }
#endif

// The executable's name without folder and extension, for the extracted files' names.
void exe_base_name(char* base, size_t size)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    path[sizeof path - 1] = 0;
    const char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    lstrcpynA(base, name, (int)size);
    if (char* dot = std::strrchr(base, '.'))
        *dot = 0;
}

bool write_whole_file(const char* path, const void* data, DWORD size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(path);
    return ok;
}

// Writes the question's medium to its file; true only when the whole file was written.
bool extract_media(const Quiz* quiz, int id, int kind)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "IMG");
    if (!found)
        return false;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) {
        if (kind == 1)
            show_message("Impossible de charger le fichier audio.", "Vorlo");
        else if (kind == 2)
            show_message("Impossible de charger le fichier vid\xE9o.", "Vorlo");
        return false;
    }
    const uint8_t* data = (const uint8_t*)LockResource(loaded);
    if (!data)
        return false;
    char base[MAX_PATH];
    exe_base_name(base, sizeof base);
    // Recorded before writing: every later deletion goes by this record.
    media_file_path(media.current_media_file, sizeof media.current_media_file, quiz->media_folder, base,
                    id - MEDIA_RESOURCE_BASE, media_file_extension(data, size));
    bool written = write_whole_file(media.current_media_file, data, size);
    FreeResource(loaded);
    return written;
}

void stop_every_player()
{
    for (IWMPControls* controls : media.media_controls)
        if (controls)
            controls->stop();
}

void play_row(Quiz* quiz, int q)
{
    stop_every_player();
    media_delete_current_file();
    int row = q - 1;
    media.current_media_row = row;
    if (!extract_media(quiz, MEDIA_RESOURCE_BASE + q, quiz->media_kind - 1))
        return;   // never hand the player a file that was not written
    IWMPPlayer* player = media.media_players[row];
    if (!player || !media.media_controls[row])
        return;
    wchar_t wide[512];
    MultiByteToWideChar(CP_ACP, 0, media.current_media_file, -1, wide, 512);
    wide[511] = 0;
    BSTR url = SysAllocString(wide);
    player->put_URL(url);
    SysFreeString(url);
    media.media_controls[row]->play();
}

void stop_current_row()
{
    IWMPControls* controls = media.media_controls[media.current_media_row];
    if (!controls)
        return;
    controls->stop();
    media_delete_current_file();
}

// Playback starts only on play: a failed automatic start would leave the control unusable.
void turn_off_autostart(IWMPPlayer* player)
{
    IWMPSettings* settings = nullptr;
    if (SUCCEEDED(player->get_settings(&settings)) && settings) {
        settings->put_autoStart(VARIANT_FALSE);
        settings->Release();
    }
}

}  // namespace

void prepare_media(Quiz* quiz)
{
    if (!is_media_quiz(quiz))
        return;
    media.atl_module = seam_no_atl() ? nullptr : LoadLibraryA("atl.dll");
    if (!media.atl_module)
        return;
    media.attach_control = (AttachControlFn)(void*)GetProcAddress(media.atl_module, "AtlAxAttachControl");
    media.com_started = SUCCEEDED(CoInitialize(nullptr));
}

bool create_row_player(Quiz*, HWND, HWND host, int q)
{
    int row = q - 1;
    if (row < 0 || row >= QUIZ_MAX_QUESTIONS)
        return false;
    media.media_hosts[row] = host;
    media.current_media_row = row;
    if (!media.attach_control)
        return false;   // without atl.dll there is no way to host a player (nor COM started)
    IWMPPlayer* player = nullptr;
    HRESULT hr = seam_player_fails(q) ? E_FAIL
                                      : CoCreateInstance(CLSID_WindowsMediaPlayer, nullptr,
                                                         CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                                         IID_IWMPPlayer, (void**)&player);
    if (hr != S_OK || !player)
        return false;
    media.media_players[row] = player;
    media.attach_control(player, host, nullptr);
    player->get_controls(&media.media_controls[row]);
    turn_off_autostart(player);
    wchar_t none[8];
    MultiByteToWideChar(CP_ACP, 0, "none", -1, none, 8);
    BSTR mode = SysAllocString(none);
    player->put_uiMode(mode);   // not implemented everywhere; the player then keeps its own bars
    SysFreeString(mode);
    return true;
}

void media_on_command(Quiz* quiz, HWND, int id)
{
    if (!is_media_quiz(quiz))
        return;
    if (id > ID_PLAY_BUTTON && id <= ID_PLAY_BUTTON + QUIZ_MAX_QUESTIONS)
        play_row(quiz, id - ID_PLAY_BUTTON);
    else if (id > ID_STOP_BUTTON && id <= ID_STOP_BUTTON + QUIZ_MAX_QUESTIONS)
        stop_current_row();
}

void media_delete_current_file()
{
    if (media.current_media_file[0])
        DeleteFileA(media.current_media_file);
}

void media_on_panel_destroy()
{
    stop_every_player();   // a playing file may be held open
    media_delete_current_file();
}

void release_media(Quiz* quiz, HWND main_window)
{
    if (!is_media_quiz(quiz))
        return;
    DestroyWindow(main_window);
    for (int r = 0; r < QUIZ_MAX_QUESTIONS; ++r) {
        if (media.media_controls[r])
            media.media_controls[r]->Release();
        if (media.media_players[r])
            media.media_players[r]->Release();
        media.media_controls[r] = nullptr;
        media.media_players[r] = nullptr;
    }
    media_delete_current_file();   // the released players no longer hold it
    if (media.com_started)
        CoUninitialize();
    if (media.atl_module)
        FreeLibrary(media.atl_module);
    media.atl_module = nullptr;
}
