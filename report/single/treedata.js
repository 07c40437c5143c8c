// The page of two folders, in parts that the page joins into one function in the order of
// the Tree page's parts in report/CMakeLists.txt, inside the same try as the one-file page's. The
// selected file is shown in a frame that holds the one-file page of that file, made from
// the page around a file's data (the block "tandemix-viewer") and the file's own data
// blocks, which stay unread until the file is shown.
//
// This part: the page's elements and the entries, read once from their data block, as a
// tree with the folders first.
/* exported tree */

const tree = (function (document) {
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
  // entries below it, folders first.
  const byPath = new Map();
  const root = { path: '', children: [], depth: -1, folder: true };
  const entries = data.entries.map(([path, s, kinds, details], index) => {
    const slash = path.lastIndexOf('/');
    const parent = (slash >= 0 && byPath.get(path.slice(0, slash))) || root;
    const entry = {
      index,
      path,
      name: path.slice(slash + 1),
      status: s,
      kinds,
      folder: kinds.includes('d'),
      details: details || null,
      parent,
      depth: parent.depth + 1,
      children: [],
      // Differences at or below the entry.
      differs: s !== status.equal && s !== status.equalUnderOptions,
    };
    byPath.set(path, entry);
    parent.children.push(entry);
    return entry;
  });
  const folderFirst = (a, b) => (a.folder === b.folder ? a.index - b.index : a.folder ? -1 : 1);
  for (const entry of [root, ...entries]) if (entry.children.length) entry.children.sort(folderFirst);
  for (let i = entries.length - 1; i >= 0; i--) {
    const entry = entries[i];
    if (entry.differs && entry.parent !== root) entry.parent.differs = true;
  }

  // An entry shown in the frame by the path that names it in the address (side 1's, or a
  // moved file's side 2 path too).
  const byAddress = new Map(byPath);
  for (const entry of entries) if (entry.details && entry.details.to) byAddress.set(entry.details.to, entry);

  function summary() {
    const counts = new Map();
    for (const entry of entries) counts.set(entry.status, (counts.get(entry.status) || 0) + 1);
    const parts = [...counts.keys()].sort((a, b) => a - b).map((s) => counts.get(s) + ' ' + WORDS[s]);
    const lines = [0, 0, 0];
    for (const entry of entries) {
      const l = entry.details && entry.details.lines;
      if (l) for (let k = 0; k < 3; k++) lines[k] += l[k];
    }
    return (
      '(' +
      (parts.length ? parts.join(', ') : 'keine Eintr\u00e4ge') +
      '; Zeilen: ' +
      lines[0] +
      ' hinzugef\u00fcgt, ' +
      lines[1] +
      ' gel\u00f6scht, ' +
      lines[2] +
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
    entries,
    byAddress,
    summary,
  };
})(document);
