#include "panes/shortcut_resolution.h"

#include <shlobj.h>

#include <cstdlib>

#include "base/bounded_text.h"
#include "base/handles.h"

namespace {

enum class PathKind { kShortcut, kOther, kUnsplittable };

// The shell knows a shortcut by its extension alone, compared as the file system compares names.
PathKind KindOf(const wchar_t* path) {
  wchar_t drive[3];
  wchar_t folder[256];
  wchar_t name[256];
  wchar_t extension[256];
  if (_wsplitpath_s(path, drive, ARRAYSIZE(drive), folder, ARRAYSIZE(folder), name, ARRAYSIZE(name),
                    extension, ARRAYSIZE(extension)) != 0)
    return PathKind::kUnsplittable;
  bool shortcut = CompareStringOrdinal(extension, -1, L".LNK", -1, TRUE) == CSTR_EQUAL;
  return shortcut ? PathKind::kShortcut : PathKind::kOther;
}

// Every step must succeed (S_FALSE included); the link object is released before returning,
// so no COM object outlives the question that follows.
bool ResolveShortcut(HWND owner, const wchar_t* path, wchar_t* target, size_t capacity) {
  IShellLinkW* rawLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&rawLink))))
    return false;
  UniqueCom<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))))
    return false;
  UniqueCom<IPersistFile> file(rawFile); // released before link, as it was obtained after it

  wchar_t found[MAX_PATH] = {};
  wchar_t description[MAX_PATH] = {}; // unused, but a link that cannot give it is not trusted
  WIN32_FIND_DATAW findData = {};
  if (FAILED(file.Get()->Load(path, STGM_READ)) || FAILED(link.Get()->Resolve(owner, SLR_NO_UI)) ||
      FAILED(link.Get()->GetPath(found, ARRAYSIZE(found), &findData, SLGP_UNCPRIORITY)) ||
      FAILED(link.Get()->GetDescription(description, ARRAYSIZE(description))))
    return false;
  found[ARRAYSIZE(found) - 1] = L'\0';
  return FormatBounded(target, capacity, L"%s", found) == 0;
}

// The target's last component. A name no file system allows (over 255 characters) cannot be
// split; the whole target then tells the user what they are choosing.
void TargetCaption(const wchar_t* target, wchar_t* caption, size_t capacity) {
  wchar_t name[256];
  wchar_t extension[256];
  if (_wsplitpath_s(target, nullptr, 0, nullptr, 0, name, ARRAYSIZE(name), extension,
                    ARRAYSIZE(extension)) != 0)
    FormatBounded(caption, capacity, L"%s", target);
  else
    FormatBounded(caption, capacity, L"%s%s", name, extension);
}

} // namespace

extern "C" const wchar_t* WINAPI GetResolvedPathDialog(HWND owner, const wchar_t* path,
                                                       wchar_t* resolved, const wchar_t* prompt) {
  if (path == nullptr)
    return nullptr;
  // A path the splitter cannot take apart has no known extension: it is refused rather than
  // guessed to be a plain file.
  PathKind kind = KindOf(path);
  if (kind == PathKind::kOther)
    return path;
  if (kind == PathKind::kUnsplittable || resolved == nullptr)
    return nullptr;

  resolved[0] = L'\0';
  if (!ResolveShortcut(owner, path, resolved, kPathCapacity))
    return nullptr;
  if (prompt == nullptr)
    return resolved;

  wchar_t caption[2 * 256];
  TargetCaption(resolved, caption, ARRAYSIZE(caption));
  switch (MessageBoxW(owner, prompt, caption, MB_YESNOCANCEL)) {
  case IDYES:
    return resolved;
  case IDNO:
    return path;
  default:
    return nullptr;
  }
}
