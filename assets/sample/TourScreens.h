#pragma once

#include <string>
#include <vector>

#include "images/ImageExt.h"

// The screens of the sample tour: "Pebblenote", a task-list application of our own, on a desktop
// of 1024 × 768. Every picture is drawn from a ScreenState, so successive states that differ a
// little give pictures that differ the same little.
namespace lumenreel::tour {

inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    int centreX() const { return x + w / 2; }
    int centreY() const { return y + h / 2; }
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

enum class ListId { inbox, garden, kitchen, reading, trips };

struct ScreenState {
    ListId list = ListId::garden;
    bool newTaskAdded = false;
    int scroll = 0;                        // pixels the task list has moved up
    int selectedTask = -1;                 // index into the shown tasks
    std::vector<std::string> tickedTasks;  // ticked by the user during the tour
    bool newTaskPressed = false;           // the toolbar button held down while the dialog is open
    bool dialogOpen = false;
    std::string typedTitle;
    bool titleFocused = false;
    std::string priority = "Normal";
    std::string search;
    bool searchFocused = false;
};

// Where the controls are, for captions, highlights and the cursor.
struct ScreenLayout {
    static Box window();
    static Box newTaskButton();
    static Box searchBox();
    static Box sidebar();
    static Box sidebarItem(ListId list);
    static Box scrollBar();
    // The scroll bar's thumb for a list of `rows` tasks moved up by `scroll` pixels.
    static Box scrollThumb(int rows, int scroll);
    // The row of the shown task `index` at the given scroll, and its tick box.
    static Box taskRow(int index, int scroll);
    static Box tickBox(int index, int scroll);
    static Box dialog();
    static Box titleField();
    static Box priorityField();
    static Box okButton();
};

// The tasks the state shows, after the search filter, and whether each is done.
struct ShownTask {
    std::string title, due, priority, tag;
    bool done = false;
};
std::vector<ShownTask> shownTasks(const ScreenState& state);

// Draws the screen into a 24-bit picture of kScreenWidth × kScreenHeight.
bool paintScreen(const ScreenState& state, CImageExt& picture);

}  // namespace lumenreel::tour
