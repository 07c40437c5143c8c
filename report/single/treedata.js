// The page of two folders, in parts that the page joins into one function in the order of
// the Tree page's parts in report/CMakeLists.txt, inside the same try as the one-file page's. The
// selected file is shown in a frame that holds the one-file page of that file, made from
// the page around a file's data (the block "tandemix-viewer") and the file's own data
// blocks, which stay unread until the file is shown.
//
// This part: the page's elements and the entries, read once from their data block, as a
// tree with the folders first. The entries stand before the script and the files' data
// after it, so that the page draws the tree while the browser still reads the files; what
// only a file's rows tell (its line counts, or that it got no rows after all) stands at the
// page's end and is taken in once the page is read whole.
/* global failure */
/* exported tree */

const tree = (function (document, failure) {
  const byId = (id) => document.getElementById(id);
  const data = JSON.parse(byId('tandemix-tree').textContent);
  const status = data.status;
  const WORDS = [];
  WORDS[status.equal] = 'gleich';
  WORDS[status.changed] = 'ge\u00e4ndert';
  WORDS[status.onlyIn1] = 'nur in 1';
  WORDS[status.onlyIn2] = 'nur in 2';
  WORDS[status.kindsDiffer] = 'Art verschieden';
  WORDS[status.unreadable] = 'unlesbar';
  WORDS[status.moved] = 'verschoben';
  WORDS[status.equalUnderOptions] = 'gleich unter den Optionen';
  // The mark before an entry's name and its colour class.
  const MARKS = [];
  MARKS[status.equal] = ['', ''];
  MARKS[status.changed] = ['~', 'C'];
  MARKS[status.onlyIn1] = ['\u2212', 'D'];
  MARKS[status.onlyIn2] = ['+', 'A'];
  MARKS[status.kindsDiffer] = ['!', 'X'];
  MARKS[status.unreadable] = ['?', 'X'];
  MARKS[status.moved] = ['\u2192', 'C'];
  MARKS[status.equalUnderOptions] = ['\u2248', ''];

  // Each entry: its path, name and depth, status, kinds ("f" file, "d" folder, "s" special,
  // "u" unreadable, "-" missing, one letter per side), the details of a difference and the
  // entries below it, folders first; `index` is its place among all entries in path order.
  // At first only the entries that are no equal ones and the folders above them. The other
  // equal ones, which the page shows only when asked for every entry, are added
  // from their own block, read once the browser has read it whole.
  const root = { path: '', children: [], depth: -1, folder: true };
  const NONE = [];
  const makeEntry = (path, s, kinds, details, index) => ({
    index,
    path,
    name: path.slice(path.lastIndexOf('/') + 1),
    status: s,
    kinds,
    folder: kinds.includes('d'),
    details: details || null,
    parent: root,
    depth: 0,
    children: NONE,
    // Differences at or below the entry.
    differs: s !== status.equal && s !== status.equalUnderOptions,
  });
  let entries = data.entries.map(([path, s, kinds, details, index]) => makeEntry(path, s, kinds, details, index));
  let whole = data.later === 0;
  const wholeListeners = [];

  // Links the entries, which come in path order with each folder's entries right after it,
  // into the tree: the entries that may hold the next one are those on the way down to it.
  function link() {
    root.children = [];
    for (const entry of entries) entry.children = NONE;
    const way = [root];
    for (const entry of entries) {
      const path = entry.path;
      let above = way[way.length - 1];
      while (above !== root && !(path.charCodeAt(above.path.length) === 47 && path.startsWith(above.path))) {
        way.pop();
        above = way[way.length - 1];
      }
      const parent = path.lastIndexOf('/') === above.path.length ? above : root;
      entry.parent = parent;
      entry.depth = parent.depth + 1;
      if (parent.children === NONE) parent.children = [];
      parent.children.push(entry);
      way.push(entry);
    }
    // Each folder's children are in path order: its folders go first, keeping their order.
    for (const folder of [root].concat(entries)) {
      const children = folder.children;
      if (children.length < 2) continue;
      const folders = children.filter((entry) => entry.folder);
      if (folders.length && folders.length < children.length) {
        folder.children = folders.concat(children.filter((entry) => !entry.folder));
      }
    }
    for (let i = entries.length - 1; i >= 0; i--) {
      const entry = entries[i];
      if (entry.differs && entry.parent !== root) entry.parent.differs = true;
    }
  }
  link();

  // Adds the equal entries where they stand in path order, once their block is read whole
  // (an element follows it), and then calls fn; at once when they are in.
  function withEveryEntry(fn) {
    if (whole) {
      fn();
      return;
    }
    wholeListeners.push(fn);
    const block = byId('tandemix-later');
    if (!block || !block.nextElementSibling) return;
    const equal = JSON.parse(block.textContent).entries;
    const all = [];
    let e = 0;
    const addEqual = () => {
      const [path, kinds] = equal[e++];
      all.push(makeEntry(path, status.equal, kinds, null, all.length));
    };
    for (const entry of entries) {
      while (all.length < entry.index) addEqual();
      all.push(entry);
    }
    while (e < equal.length) addEqual();
    entries = all;
    whole = true;
    byAddress = null;
    link();
    for (const listener of wholeListeners.splice(0)) listener();
  }

  // The entry that an address names by its path (side 1's, or a moved file's side 2 path
  // too), looked up by a map made when an address is first asked for.
  let byAddress = null;
  function entryAt(path) {
    if (!byAddress) {
      byAddress = new Map();
      for (const entry of entries) byAddress.set(entry.path, entry);
      for (const entry of entries) if (entry.details && entry.details.to) byAddress.set(entry.details.to, entry);
    }
    return byAddress.get(path) || null;
  }

  // The files whose rows the page may show, by their numbers.
  const files = [];
  for (const entry of entries) if (entry.details && entry.details.file !== undefined) files[entry.details.file] = entry;

  // The lines added, deleted and changed over all files, once counted.
  let lines = null;
  const counted = [];
  function takeCounts() {
    const counts = JSON.parse(byId('tandemix-counts').textContent);
    counts.files.forEach((outcome, file) => {
      const details = files[file].details;
      if (Array.isArray(outcome)) {
        details.lines = outcome.slice(0, 3);
        details.differences = outcome[3];
      } else {
        delete details.file;
        Object.assign(details, outcome);
      }
    });
    lines = counts.lines;
    // The equal entries are read whole too.
    if (wholeListeners.length) withEveryEntry(() => {});
    for (const listener of counted.splice(0)) listener();
  }
  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', () => {
      try {
        takeCounts();
      } catch (error) {
        failure.show(error);
      }
    });
  } else {
    takeCounts();
  }

  function summary() {
    const counts = new Map();
    for (const entry of entries) counts.set(entry.status, (counts.get(entry.status) || 0) + 1);
    // The equal entries not added yet.
    if (!whole) counts.set(status.equal, (counts.get(status.equal) || 0) + data.later);
    const parts = [...counts.keys()].sort((a, b) => a - b).map((s) => counts.get(s) + ' ' + WORDS[s]);
    const [added, deleted, changed] = lines || ['\u2026', '\u2026', '\u2026'];
    return (
      '(' +
      (parts.length ? parts.join(', ') : 'keine Eintr\u00e4ge') +
      '; Zeilen: ' +
      added +
      ' hinzugef\u00fcgt, ' +
      deleted +
      ' gel\u00f6scht, ' +
      changed +
      ' ge\u00e4ndert)'
    );
  }

  return {
    byId,
    body: document.body,
    tops: data.tops,
    status,
    words: WORDS,
    marks: MARKS,
    root,
    // The entries in path order: at first those that are no equal ones and their folders.
    get entries() {
      return entries;
    },
    entryAt,
    // Whether the equal entries are in; withEveryEntry(fn) adds them and calls fn.
    whole: () => whole,
    withEveryEntry,
    summary,
    // Whether the files' line counts are in; whenCounted(fn) calls fn once they are.
    counted: () => lines !== null,
    whenCounted(fn) {
      if (lines) fn();
      else counted.push(fn);
    },
  };
})(document, failure);
