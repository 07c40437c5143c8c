// The result's differences by kind beside it, so that they read against the sections
// ("Abschnitte", runs of differing rows) that the position counts; a click in the
// overview makes the section at or nearest the clicked place the current one.
/* global codes, page, view, rows, layout, rendering, differences */

(function (window, codes, page, view, rows, layout, rendering, differences) {
  const { blockStarts, blockEnds } = rows;

  function countKinds() {
    const counts = { changed: 0, added: 0, deleted: 0 };
    for (let s = 0; s < 2; s++) {
      const marks = rows.sides[s].mark;
      for (let r = 0; r < rows.count; r++) {
        const m = marks[r];
        // A changed pair is one difference, counted on the first side.
        if (m === codes.changed && s === 0) counts.changed++;
        else if (m === codes.added) counts.added++;
        else if (m === codes.deleted) counts.deleted++;
      }
    }
    return counts;
  }

  function showKinds() {
    const { changed, added, deleted } = countKinds();
    if (!changed && !added && !deleted) return;
    const kinds = document.createElement('span');
    kinds.id = 'kinds';
    kinds.textContent =
      '(' + changed + ' ge\u00e4ndert, ' + added + ' hinzugef\u00fcgt, ' + deleted + ' gel\u00f6scht)';
    page.byId('result').after(kinds);
  }

  // The section that lies at or nearest to offset y.
  function blockNear(y) {
    const blockCount = rows.blockCount;
    if (!blockCount || !layout.count()) return -1;
    const r = layout.fromOf(layout.find(y));
    const b = differences.firstBlockFrom(r);
    if (b > 0 && blockEnds[b - 1] > r) return b - 1;
    if (b === 0) return 0;
    if (b === blockCount) return blockCount - 1;
    const before = differences.rowTop(blockEnds[b - 1] - 1);
    return y - before <= differences.rowTop(blockStarts[b]) - y ? b - 1 : b;
  }

  // Where the pointer leaves the overview, as an offset in the contents.
  function overviewOffset(event) {
    const box = page.overview.getBoundingClientRect();
    const fraction = Math.max(0, Math.min(1, (event.clientY - box.top) / box.height));
    return fraction * Math.max(layout.total(), page.viewport.clientHeight);
  }

  page.overview.addEventListener('mousedown', () => {
    const up = (event) => {
      window.removeEventListener('mouseup', up);
      const b = blockNear(overviewOffset(event));
      if (b < 0 || b === view.current) return;
      view.current = b;
      rendering.refresh();
      differences.showPosition();
    };
    window.addEventListener('mouseup', up);
  });

  page.byId('position').title = 'Abschnitte: zusammenh\u00e4ngende Folgen unterschiedlicher Zeilen';
  // Counted when every row is in.
  if (rows.complete) showKinds();
  else rows.whenComplete(showKinds);
})(window, codes, page, view, rows, layout, rendering, differences);
