// The tree as a list: the entries the filters let through, folders first, each with a
// mark for its status and a file's line counts (an ellipsis until the page has counted them).
// Only the rows in view are elements.
/* global tree */
/* exported list */

const list = (function (document, tree) {
  const ROW = 20;
  const MARGIN = 10;
  const box = tree.byId('tree');
  const spacer = tree.byId('treespacer');
  const filter = tree.byId('filter');
  const nameFilter = tree.byId('namefilter');
  const collapsed = new Set();
  // The entries shown, in order; the differing entries that are no folders in the order of
  // the tree with every folder open, which stepping from file to file follows.
  let shown = [];
  let files = [];
  let selected = null;
  let opened = () => {};

  // The entries whose paths hold the query, and the folders above them.
  function kept(query) {
    if (!query) return null;
    const keep = new Set();
    for (const entry of tree.entries) {
      if (!entry.path.toLowerCase().includes(query)) continue;
      for (let e = entry; e !== tree.root && !keep.has(e); e = e.parent) keep.add(e);
    }
    return keep;
  }

  function build() {
    const all = filter.value === 'all';
    // Every entry shows once the equal ones are in; those there are show until then.
    if (all && !tree.whole()) {
      tree.withEveryEntry(build);
      if (tree.whole()) return;
    }
    const keep = kept(nameFilter.value.trim().toLowerCase());
    shown = [];
    files = [];
    const visit = (folder, open) => {
      for (const entry of folder.children) {
        if ((!all && !entry.differs) || (keep && !keep.has(entry))) continue;
        if (open) shown.push(entry);
        if (!entry.folder && entry.status !== tree.status.equal) files.push(entry);
        visit(entry, open && !collapsed.has(entry));
      }
    };
    visit(tree.root, true);
    spacer.style.height = shown.length * ROW + 'px';
    render();
  }

  function linesOf(entry) {
    const details = entry.details;
    if (!details) return '';
    if (details.lines) return '+' + details.lines[0] + ' \u2212' + details.lines[1] + ' ~' + details.lines[2];
    if (details.file !== undefined) return '\u2026';
    return details.binary ? 'bin\u00e4r' : '';
  }

  function makeRow(entry, at) {
    const row = document.createElement('div');
    row.className =
      'entry' +
      (entry === selected ? ' sel' : '') +
      (entry.folder ? ' folder' : '') +
      (entry.status === tree.status.equal ? ' equal' : '');
    row.style.top = at * ROW + 'px';
    row.style.paddingLeft = 4 + entry.depth * 14 + 'px';
    row.setAttribute('role', 'option');
    row.dataset.at = String(at);
    row.title = entry.path + ' (' + tree.words[entry.status] + ')';
    const toggle = document.createElement('span');
    toggle.className = 'toggle';
    if (entry.folder && entry.children.length) toggle.textContent = collapsed.has(entry) ? '\u25b8' : '\u25be';
    const [symbol, colour] = tree.marks[entry.status];
    const mark = document.createElement('span');
    mark.className = 'mark ' + colour;
    mark.textContent = symbol;
    const label = document.createElement('span');
    label.className = 'label';
    const moved = entry.details && entry.details.to;
    label.textContent = entry.name + (moved ? ' \u2192 ' + entry.details.to : '');
    const lines = document.createElement('span');
    lines.className = 'lines';
    lines.textContent = linesOf(entry);
    row.append(toggle, mark, label, lines);
    return row;
  }

  function render() {
    const first = Math.max(0, Math.floor(box.scrollTop / ROW) - MARGIN);
    const last = Math.min(shown.length, Math.ceil((box.scrollTop + box.clientHeight) / ROW) + MARGIN);
    const rows = document.createDocumentFragment();
    for (let i = first; i < last; i++) rows.appendChild(makeRow(shown[i], i));
    spacer.textContent = '';
    spacer.appendChild(rows);
  }

  // Opens the folders above the entry and scrolls it into view.
  function reveal(entry) {
    let hidden = false;
    for (let e = entry.parent; e !== tree.root; e = e.parent) hidden = collapsed.delete(e) || hidden;
    if (hidden || !shown.includes(entry)) build();
    const at = shown.indexOf(entry);
    if (at < 0) return;
    if (at * ROW < box.scrollTop) box.scrollTop = at * ROW;
    else if ((at + 1) * ROW > box.scrollTop + box.clientHeight) box.scrollTop = (at + 1) * ROW - box.clientHeight;
  }

  function select(entry) {
    selected = entry;
    if (entry) reveal(entry);
    render();
  }

  function toggle(entry) {
    if (collapsed.has(entry)) collapsed.delete(entry);
    else collapsed.add(entry);
    build();
  }

  box.addEventListener('scroll', render);
  box.addEventListener('click', (event) => {
    const row = event.target.closest('.entry');
    if (!row) return;
    const entry = shown[Number(row.dataset.at)];
    if (event.target.classList.contains('toggle') && entry.folder) toggle(entry);
    else opened(entry);
  });
  box.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const at = shown.indexOf(selected);
    const moves = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: shown.length - 1 };
    if (event.key in moves) {
      event.preventDefault();
      const next = shown[Math.max(0, Math.min(moves[event.key], shown.length - 1))];
      if (next) opened(next);
    } else if (selected && selected.folder && (event.key === 'ArrowLeft' || event.key === 'ArrowRight')) {
      event.preventDefault();
      if (collapsed.has(selected) === (event.key === 'ArrowRight')) toggle(selected);
    }
  });
  filter.addEventListener('change', build);
  nameFilter.addEventListener('input', build);
  window.addEventListener('resize', render);
  tree.whenCounted(render);

  return {
    build,
    select,
    // The differing files in tree order, which stepping from file to file follows.
    files: () => files,
    selected: () => selected,
    // What a click or a key on an entry does.
    onOpen: (handler) => {
      opened = handler;
    },
    box,
  };
})(document, tree);
