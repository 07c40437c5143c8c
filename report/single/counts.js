// The result's differences by kind beside it, so that they read against the sections
// ("Abschnitte", runs of differing rows) that the position counts; a click in the
// overview makes the section at or nearest the clicked place the current one.

function countKinds() {
  const counts = [0, 0, 0];
  for (let s = 0; s < 2; s++) {
    const marks = sides[s].mark;
    for (let r = 0; r < rowCount; r++) {
      const m = marks[r];
      // A changed pair is one difference, counted on the first side.
      if (m > 1 || (m === 1 && s === 0)) counts[m - 1]++;
    }
  }
  return counts;
}

function showKinds() {
  const counts = countKinds();
  if (!counts[0] && !counts[1] && !counts[2]) return;
  const kinds = document.createElement('span');
  kinds.id = 'kinds';
  kinds.textContent = '(' + counts[0] + ' ge\u00e4ndert, ' + counts[1] + ' hinzugef\u00fcgt, ' + counts[2] + ' gel\u00f6scht)';
  $('result').after(kinds);
}

// The section that lies at or nearest to offset y.
function blockNear(y) {
  if (!blockCount || !itemCount) return -1;
  const r = itemFrom[tree.find(y)];
  const b = firstBlockFrom(r);
  if (b > 0 && blockEnds[b - 1] > r) return b - 1;
  if (b === 0) return 0;
  if (b === blockCount) return blockCount - 1;
  const before = rowTop(blockEnds[b - 1] - 1);
  return y - before <= rowTop(blockStarts[b]) - y ? b - 1 : b;
}

// Where the pointer leaves the overview, as an offset in the contents.
function overviewOffset(event) {
  const box = overview.getBoundingClientRect();
  const fraction = Math.max(0, Math.min(1, (event.clientY - box.top) / box.height));
  return fraction * Math.max(tree.total, view.clientHeight);
}

overview.addEventListener('mousedown', () => {
  const up = (event) => {
    window.removeEventListener('mouseup', up);
    const b = blockNear(overviewOffset(event));
    if (b < 0 || b === current) return;
    current = b;
    refresh();
    showPosition();
  };
  window.addEventListener('mouseup', up);
});

$('position').title = 'Abschnitte: zusammenh\u00e4ngende Folgen unterschiedlicher Zeilen';
showKinds();
