// The process side of the host: screen measures, the event pump, the loaded forms, message
// boxes, starting programs, opening documents and pictures from the program's resources.
//
// Message box, program start and shell open go through App::Effects, so that a test can
// record them instead of blocking on a modal box; by default they do the real thing. The
// texts of a message box and a command line are UTF-8, and reach the system as UTF-16: a
// path of any language starts its program and shows in a message as it is.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/picture.h"

namespace host {

class Form;

class App {
public:
    // The effects a test may replace.
    struct Effects {
        virtual ~Effects() = default;
        // A modal message box with an OK button; style 16 critical, 64 information.
        virtual int MsgBox(const std::string& text, int style, const std::string& title);
        // Starts a program with a window style (SW_...), not waiting; false when it cannot start.
        virtual bool Shell(const std::string& commandLine, int windowStyle);
        // Opens a document or address through the shell (verb "open", show 5).
        virtual bool ShellOpen(const std::string& target);
    };

    // Screen twips per pixel (15 at 96 dpi), read once.
    static int TwipsPerPixelX();
    static int TwipsPerPixelY();

    // Processes pending messages of this thread until the queue is empty, then returns.
    // A WM_QUIT met on the way is posted again for the caller's loop.
    static void DoEvents();

    // Sleeps until a message arrives for this thread, `handle` (when not null) is signalled or
    // `timeoutMs` has passed (INFINITE: no limit), then processes what arrived as DoEvents
    // does. True when it was the handle. The program's loops that wait for something wait
    // here, so that an idle window costs no processor time.
    static bool WaitForEvents(HANDLE handle, DWORD timeoutMs);

    // Hands one message taken from this thread's queue to its window. Every loop of the
    // program that takes messages goes through here, so that what the host does for a form's
    // keys happens in each of them alike.
    static void Dispatch(MSG& msg);

    // The loaded forms, in loading order.
    static const std::vector<Form*>& Forms();

    static int MsgBox(const std::string& text, int style, const std::string& title);
    static bool Shell(const std::string& commandLine, int windowStyle);
    static bool ShellOpen(const std::string& target);
    // nullptr restores the real effects. The caller keeps the object alive while it is set.
    static void SetEffects(Effects* effects);

    // Pictures from the program's resources; an id is a name or "#number". nullptr if absent.
    static PicturePtr LoadIconPicture(const char* id);
    static PicturePtr LoadBitmapPicture(const char* id);
    static PicturePtr LoadPicture(const PictureSource& source);

private:
    friend class Form;
    static void AddForm(Form* form);
    static void RemoveForm(Form* form);
};

}  // namespace host
