// The search box: stepping through the hits and showing their count.
/* global page, view, rows, layout, rendering, differences, finder */
/* exported search */

const search = (function (document, page, view, rows, layout, rendering, differences, finder) {
  const { query, viewport, spacer } = page;
  let searchTimer = 0;

  function run() {
    clearTimeout(searchTimer);
    const fuzzy = document.querySelector('input[name="mode"]:checked').value === 'fuzzy';
    if (!finder.find(query.value, fuzzy)) return;
    showHits();
    rendering.refresh();
  }

  function showHits() {
    const label = page.byId('hits');
    const count = finder.count();
    if (!query.value) label.textContent = '';
    else if (!count) label.textContent = 'keine Treffer';
    else {
      const shown = finder.more() ? count + '+' : String(count);
      const current = finder.current();
      label.textContent = (current >= 0 ? current + 1 + ' / ' : '') + shown + ' Treffer';
    }
  }

  function step(direction) {
    run();
    const count = finder.count();
    if (!count) return;
    let current = finder.current();
    if (current < 0) {
      const first = finder.firstFrom(differences.firstRowInView());
      current = direction > 0 ? first % count : (first - 1 + count) % count;
    } else {
      current = (current + direction + count) % count;
    }
    finder.setCurrent(current);
    const r = finder.rowOf(current);
    differences.reveal(r);
    const top = differences.rowTop(r);
    if (top < view.top || top + layout.heightOf(layout.itemOfRow(r)) > view.top + viewport.clientHeight) {
      rendering.scrollTo(top - viewport.clientHeight / 3);
    }
    rendering.refresh();
    showHits();
    showCurrentHit();
  }

  // Without wrapping a hit may lie beyond the right edge: bring it into view.
  function showCurrentHit() {
    if (view.wrap) return;
    const hit = spacer.querySelector('.hit.cur');
    if (!hit) return;
    const column = hit.closest('.column');
    const left = hit.offsetLeft;
    const width = column.clientWidth;
    if (left < view.scrollX + 8 || left + hit.offsetWidth > view.scrollX + width - 8) {
      page.scrollbar.scrollLeft = Math.max(0, left - width / 3);
      rendering.setScrollX(page.scrollbar.scrollLeft);
    }
  }

  query.addEventListener('input', () => {
    clearTimeout(searchTimer);
    searchTimer = setTimeout(run, 250);
  });
  query.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      step(event.shiftKey ? -1 : 1);
    }
  });
  // A search made before every row was in is made again over all.
  rows.whenComplete(() => {
    if (query.value) run();
  });
  for (const radio of document.querySelectorAll('input[name="mode"]')) radio.addEventListener('change', run);
  page.byId('hitnext').addEventListener('click', () => step(1));
  page.byId('hitprev').addEventListener('click', () => step(-1));

  return { step };
})(document, page, view, rows, layout, rendering, differences, finder);
