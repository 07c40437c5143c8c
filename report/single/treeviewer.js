// The entry shown: a file's rows in a frame that holds the one-file page of that file, put
// together from the page around a file's data and the file's own data blocks, which are
// read only now; or a notice for an entry without rows.
/* global tree */
/* exported viewer */

const viewer = (function (document, window, tree) {
  const pieces = JSON.parse(tree.byId('tandemix-viewer').textContent);
  const box = tree.byId('viewer');
  const notice = tree.byId('notice');
  // Each file's data blocks by its number.
  const blocks = new Map();
  for (const block of document.querySelectorAll('script.tandemix-file')) {
    const file = Number(block.dataset.file);
    if (!blocks.has(file)) blocks.set(file, []);
    blocks.get(file).push(block);
  }
  // The keys the frame's help lists besides its own.
  const KEYS = [
    ['Umschalt+N', 'N\u00e4chste Datei'],
    ['Umschalt+P', 'Vorige Datei'],
  ];

  let frame = null;
  // The shown page's differences (its part of that name), once it has started.
  let shownDifferences = null;

  function escapeText(text) {
    return text.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);
  }

  function sizeText(bytes) {
    return Number(bytes).toLocaleString('de-DE') + ' Bytes';
  }

  function clear() {
    if (frame) frame.remove();
    frame = null;
    shownDifferences = null;
    notice.textContent = '';
  }

  function say(...lines) {
    clear();
    for (const line of lines) {
      const p = document.createElement('p');
      p.textContent = line;
      notice.appendChild(p);
    }
  }

  function sidePath(side, entry) {
    const details = entry.details;
    const relative = side === 1 && details && details.to ? details.to : entry.path;
    return tree.tops[side] + (relative ? '/' + relative : '');
  }

  function describe(entry) {
    const details = entry.details || {};
    const { status } = tree;
    const word = tree.words[entry.status];
    const title = entry.path + ': ' + word;
    if (details.large) {
      return [title, 'Diese Datei ist zu gro\u00df f\u00fcr einen Browser; ihre Zeilen stehen nicht im Bericht.'];
    }
    if (details.problem) return [title, details.problem];
    if (details.binary) {
      return [
        title,
        'Bin\u00e4rdateien unterscheiden sich',
        'Gr\u00f6\u00dfe in 1: ' + sizeText(details.sizes[0]) + ', in 2: ' + sizeText(details.sizes[1]),
      ];
    }
    if (entry.status === status.moved) {
      return ['verschoben (gleicher Inhalt)', '1: ' + sidePath(0, entry), '2: ' + sidePath(1, entry)];
    }
    if (entry.status === status.equal)
      return [title, entry.folder ? 'Alles darin ist gleich.' : 'Die Dateien sind gleich.'];
    if (entry.folder) return [title, 'Die Unterschiede darin stehen in der Liste links.'];
    return [title];
  }

  // The one-file page of the file, written into a fresh frame piece by piece, so that no
  // string holds all of a large file's data at once.
  function showRows(entry, start, host) {
    clear();
    const details = entry.details;
    const name1 = escapeText(entry.status !== tree.status.onlyIn2 ? sidePath(0, entry) : '');
    const name2 = escapeText(entry.status !== tree.status.onlyIn1 ? sidePath(1, entry) : '');
    const result = details.differences
      ? pieces.resultStart + details.differences + pieces.resultCountEnd
      : pieces.resultNone;
    frame = document.createElement('iframe');
    frame.title = entry.path;
    frame.tandemixHost = {
      keys: KEYS,
      step: host.step,
      attach(differences) {
        shownDifferences = differences;
        if (differences.blockCount && start) differences.goToBlock(start > 0 ? 0 : differences.blockCount - 1);
      },
    };
    box.appendChild(frame);
    const page = frame.contentDocument;
    const p = pieces.pieces;
    page.open();
    page.write(p[0] + name1 + p[1] + name2 + p[2] + result + p[3] + name1 + p[4] + name2 + p[5]);
    (blocks.get(details.file) || []).forEach((block, i) => {
      if (i) page.write(pieces.between);
      page.write(block.textContent);
    });
    page.write(p[6]);
    page.close();
    // Opening the document took every listener off its window; this one comes after.
    frame.contentWindow.addEventListener('keydown', host.keydown);
  }

  // Shows the entry; start is 1 to begin at the file's first difference, -1 at its last,
  // 0 at its top. host.step takes a step past the file's differences, host.keydown the keys
  // pressed in the frame.
  function show(entry, start, host) {
    if (!entry) {
      say('Keine Unterschiede.');
      return;
    }
    try {
      if (entry.details && entry.details.file !== undefined) showRows(entry, start, host);
      else say(...describe(entry));
    } catch (error) {
      const tooLarge = error instanceof RangeError || /memory|allocation/i.test(String(error && error.message));
      say(
        entry.path,
        tooLarge
          ? 'Diese Datei ist zu gro\u00df f\u00fcr diesen Browser.'
          : 'Diese Datei kann nicht angezeigt werden: ' + String(error),
      );
    }
  }

  return {
    show,
    // The shown page's differences, or null when no page with rows is shown.
    differences: () => shownDifferences,
    frame: () => frame,
  };
})(document, window, tree);
