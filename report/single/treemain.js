// Opening entries: by the list, by the keys, by stepping from difference to difference
// across files, and by the address, whose fragment "#datei=PATH" names the file shown, so
// that a link opens it and Back returns to the one before. Then the start.
/* global tree, list, viewer */

(function (document, window, tree, list, viewer) {
  const PREFIX = '#datei=';
  // Where the next file opened by the address begins: 1 at its first difference, -1 at its
  // last, 0 at its top.
  let pendingStart = 0;

  function addressOf(entry) {
    return PREFIX + encodeURIComponent(entry.path).replace(/%2F/g, '/');
  }

  function entryOfAddress() {
    const hash = window.location.hash;
    if (!hash.startsWith(PREFIX)) return null;
    try {
      return tree.entryAt(decodeURIComponent(hash.slice(PREFIX.length)));
    } catch {
      return null;
    }
  }

  // The marks a reader's timing waits for (bench/single_report_bench.js): the first entry
  // shown at the start, then each entry shown after it, once its rows or notice are drawn.
  let shownMark = 'tandemix-rows-shown';
  function markShown() {
    const name = shownMark;
    shownMark = 'tandemix-file-shown';
    window.requestAnimationFrame(() => setTimeout(() => window.performance.mark(name), 0));
  }

  // What a file's page hands back: the step past its differences, its keys, and that it is
  // drawn.
  const host = {
    step: (direction) => stepFile(direction, true),
    keydown: onKey,
    shown() {
      followScheme();
      markShown();
    },
  };

  // The tree wears the colours of the file's page and follows its "Farben" choice; until a
  // file is shown, the system's.
  const systemDark = window.matchMedia ? window.matchMedia('(prefers-color-scheme: dark)') : null;
  document.documentElement.setAttribute('data-scheme', systemDark && systemDark.matches ? 'dark' : 'light');
  let schemeWatch = null;
  function followScheme() {
    const frame = viewer.frame();
    const root = frame && frame.contentDocument ? frame.contentDocument.documentElement : null;
    if (!root) return;
    const mirror = () => {
      const scheme = root.getAttribute('data-scheme');
      if (scheme) document.documentElement.setAttribute('data-scheme', scheme);
    };
    mirror();
    if (schemeWatch) schemeWatch.disconnect();
    schemeWatch = new MutationObserver(mirror);
    schemeWatch.observe(root, { attributes: true, attributeFilter: ['data-scheme'] });
  }

  function show(entry, start) {
    const fromFrame = document.activeElement && document.activeElement.tagName === 'IFRAME';
    list.select(entry);
    viewer.show(entry, start, host);
    showPosition();
    // Keys go on to the new file where they went to the one before.
    const frame = viewer.frame();
    if (fromFrame && frame) frame.contentWindow.focus();
  }

  // Opens the entry through the address, so that Back returns to the entry before.
  function open(entry, start = 0) {
    if (!entry) return;
    if (window.location.hash === addressOf(entry)) {
      show(entry, start);
      return;
    }
    pendingStart = start;
    window.location.hash = addressOf(entry);
  }

  // Shows the entry the address names, or else the first differing file; an equal entry is
  // found once the equal entries are in, and shown then.
  function showAddressed(start) {
    const hash = window.location.hash;
    const entry = entryOfAddress();
    if (!entry && !tree.whole() && hash.startsWith(PREFIX)) {
      tree.withEveryEntry(() => {
        if (window.location.hash === hash && entryOfAddress()) show(entryOfAddress(), start);
      });
    }
    show(entry || list.files()[0] || null, start);
  }

  window.addEventListener('hashchange', () => {
    const start = pendingStart;
    pendingStart = 0;
    showAddressed(start);
  });

  // The next or previous differing file; with start, begins there at its first or last
  // difference.
  function stepFile(direction, start = 0) {
    const files = list.files();
    if (!files.length) return;
    const at = files.indexOf(list.selected());
    const next = at < 0 ? (direction > 0 ? 0 : files.length - 1) : at + direction;
    if (next >= 0 && next < files.length) open(files[next], start ? direction : 0);
  }

  // n and p step through the differences of the file shown and on into the next file.
  function stepDifference(direction) {
    const differences = viewer.differences();
    if (differences) differences.step(direction);
    else stepFile(direction, true);
  }

  function showPosition() {
    const files = list.files();
    const at = files.indexOf(list.selected());
    tree.byId('fileposition').textContent = (at >= 0 ? at + 1 : '\u2013') + ' / ' + files.length + ' Dateien';
  }

  function onKey(event) {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const target = event.target;
    if (target.matches && target.matches('input[type="text"], input[type="search"], select, textarea')) return;
    if (event.key === 'N' || event.key === 'P') {
      event.preventDefault();
      stepFile(event.key === 'N' ? 1 : -1);
    }
  }

  document.addEventListener('keydown', (event) => {
    if (event.key === 'F7') {
      event.preventDefault();
      stepDifference(event.shiftKey ? -1 : 1);
      return;
    }
    onKey(event);
    if (event.defaultPrevented || event.ctrlKey || event.metaKey || event.altKey) return;
    const target = event.target;
    if (target.matches && target.matches('input[type="text"], input[type="search"], select, textarea')) return;
    if (event.key === 'n' || event.key === 'p') {
      event.preventDefault();
      stepDifference(event.key === 'n' ? 1 : -1);
    }
    // The keys are listed by the file's page, whose help opens there.
    const frame = viewer.frame();
    if (event.key === '?' && frame) {
      event.preventDefault();
      frame.contentWindow.focus();
      frame.contentWindow.dispatchEvent(new KeyboardEvent('keydown', { key: '?' }));
    }
  });
  tree.byId('nextfile').addEventListener('click', () => stepFile(1));
  tree.byId('prevfile').addEventListener('click', () => stepFile(-1));
  list.onOpen((entry) => open(entry));
  const showSummary = () => {
    tree.byId('summary').textContent = tree.summary();
  };
  showSummary();
  tree.whenCounted(showSummary);

  // --- start: the file the address names, or the first differing file ---

  list.build();
  showAddressed(0);
  window.requestAnimationFrame(() => setTimeout(() => window.performance.mark('tandemix-tree-shown'), 0));
})(document, window, tree, list, viewer);
