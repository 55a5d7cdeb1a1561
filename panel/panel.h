// The question panel: control identifiers and the operations other subsystems call.
#pragma once
#include <windows.h>

#include "quiz/quiz.h"

// Control identifiers of the panel; q is the question number, n the answer-box number.
enum PanelId {
    ID_ANSWER_CAPTION = 156,
    ID_NUMBER_LABEL = 2000,     // + q in the grid layouts
    ID_QUESTION_LABEL = 3000,
    ID_ANSWER_BOX = 4000,       // + n
    ID_STATUS_LABEL = 5000,     // + n: always the box's identifier + 1000
    ID_PLAY_BUTTON = 6000,      // + q
    ID_STOP_BUTTON = 7000,      // + q
    ID_EXTRA_LABEL = 8000,      // + q
    ID_PICTURE_BOX = 9900,      // + q: picture box or media player host
};

// Private WM_VSCROLL codes: one wheel notch.
enum { PANEL_SCROLL_DOWN = 500, PANEL_SCROLL_UP = 501 };
enum { PANEL_TEMPLATE = 1001 };

INT_PTR CALLBACK question_panel_proc(HWND panel, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK answer_box_proc(HWND box, UINT msg, WPARAM wp, LPARAM lp);

void update_scroll_ranges(const Quiz* quiz, HWND panel);
void refresh_scrolling(const Quiz* quiz, HWND panel);
void panel_on_vscroll(HWND panel, int code);
void panel_on_hscroll(HWND panel, int code);
// Posts one notch of the wheel to the panel; other deltas are ignored.
void panel_post_wheel(HWND panel, WPARAM wp);
void copy_answer_to_unsolved(HWND box);
// The Edit class procedure the answer boxes forward to.
WNDPROC panel_edit_class_proc();

// Folding of solved questions in a picture quiz, after the header's "Cacher" box.
void apply_row_hiding(Quiz* quiz);

// Media playback of audio and video quizzes.
void prepare_media(Quiz* quiz);
void release_media(Quiz* quiz, HWND main_window);
// Creates question q's player in its host; false ends the panel's construction.
bool create_row_player(Quiz* quiz, HWND panel, HWND host, int q);
void media_on_command(Quiz* quiz, HWND panel, int id);
void media_delete_current_file();
// Stops every player and deletes the extracted file: the panel is going.
void media_on_panel_destroy();
