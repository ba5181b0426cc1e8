#!/usr/bin/env bash
# Checks the layering of the console's folders over every #include line ("..." and <...>)
# and every library a CMakeLists.txt links. Floors, lowest first:
#   platform (with platform/widgets) < core (with core/ui)
#     < dialogs, settings, mediastats (with mediastats/ui) < eventview, channelview < app
# A folder uses only folders on lower floors, and the files of its own folder (platform,
# core and mediastats with their widget side). The widget-free folders platform, core and
# mediastats use nothing of their widget side and link no Qt module but Core and Network.
# tools, bench and tests may use any folder and are not checked.
# Prints each offending line as file:line: text (why) and fails when there is one.
# Usage: check-layers.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

floors=(platform core dialogs settings mediastats eventview channelview app)
mapfile -t sources < <(find "${floors[@]}" -name '*.cpp' -o -name '*.h' | sort)
mapfile -t lists < <(find "${floors[@]}" -name CMakeLists.txt | sort)

# The CMakeLists.txt files are read twice: first for the folder each library is made from,
# then for what each links.
awk '
  function floor_of(top) {
    if (top == "platform") return 0
    if (top == "core") return 1
    if (top == "dialogs" || top == "settings" || top == "mediastats") return 2
    if (top == "eventview" || top == "channelview") return 3
    if (top == "app") return 4
    return -1
  }
  function top_of(dir) { sub(/\/.*/, "", dir); return dir }
  function dir_of(path) { if (path !~ /\//) return "."; sub(/\/[^\/]*$/, "", path); return path }
  function widget_free(dir) { return dir == "platform" || dir == "core" || dir == "mediastats" }
  function widget_side(dir) { return dir ~ /^(platform\/widgets|core\/ui|mediastats\/ui)(\/|$)/ }
  function exists(path,   line, r) {
    r = (getline line < path) >= 0
    close(path)
    return r
  }
  # "a/b/../c" as "a/c"
  function normal(path,   n, p, i, out, k) {
    n = split(path, p, "/")
    k = 0
    for (i = 1; i <= n; ++i) {
      if (p[i] == "." || p[i] == "") continue
      if (p[i] == ".." && k > 0) { --k; continue }
      out[++k] = p[i]
    }
    path = ""
    for (i = 1; i <= k; ++i) path = path (i > 1 ? "/" : "") out[i]
    return path
  }
  # Why folder from may not use folder to; "" when it may.
  function refusal(from, to,   ft, tt) {
    ft = top_of(from)
    tt = top_of(to)
    if (floor_of(tt) < 0) return from " uses " to ", which is no library folder"
    if (widget_free(from) && widget_side(to)) return from " has no widgets: it uses nothing of " to
    if (ft != tt && floor_of(tt) >= floor_of(ft))
      return from " uses only lower floors; " tt " is not below " ft
    return ""
  }
  function fail(why) {
    print FILENAME ":" FNR ":" $0 " (" why ")" > "/dev/stderr"
    ++failures
  }

  FNR == 1 { visit[FILENAME]++ }

  FILENAME ~ /CMakeLists\.txt$/ && visit[FILENAME] == 1 {
    if ($0 ~ /vek_add_library\(/) {
      name = $0
      sub(/.*vek_add_library\([[:space:]]*/, "", name)
      sub(/[[:space:])].*/, "", name)
      folder[name] = dir_of(FILENAME)
    }
    next
  }

  FILENAME ~ /CMakeLists\.txt$/ {
    dir = dir_of(FILENAME)
    if ($0 ~ /(vek_add_library|target_link_libraries|add_executable)\(/) call = 1
    if (!call) next
    words = $0
    sub(/#.*/, "", words)
    if (words ~ /\)/) call = 0
    gsub(/[()]/, " ", words)
    n = split(words, w, /[[:space:]]+/)
    for (i = 1; i <= n; ++i) {
      if (w[i] == "vek_add_library") {
        ++i  # the library itself
      } else if (w[i] in folder) {
        why = refusal(dir, folder[w[i]])
        if (why != "") fail(why)
      } else if (w[i] ~ /^Qt6::/ && widget_free(dir) && w[i] != "Qt6::Core" &&
                 w[i] != "Qt6::Network") {
        fail(dir " has no widgets: it links Qt6::Core and Qt6::Network only")
      }
    }
    next
  }

  /^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]/ {
    included = $0
    quoted = included ~ /include[[:space:]]*"/
    sub(/^[^"<]*["<]/, "", included)
    sub(/[">].*/, "", included)
    dir = dir_of(FILENAME)
    # <...> is not looked for beside the file; one not in the tree belongs to Qt or the system.
    if (quoted && exists(dir "/" included)) target = normal(dir "/" included)
    else if (exists(included)) target = normal(included)
    else next  # made by the build (moc output), or of a library outside the tree
    why = refusal(dir, dir_of(target))
    if (why != "") fail(why)
  }

  END {
    if (failures > 0) {
      print "check-layers: " failures " use(s) across the floors" > "/dev/stderr"
      exit 1
    }
    print "check-layers: every include and link keeps to the floors"
  }
' "${lists[@]}" "${lists[@]}" "${sources[@]}"
