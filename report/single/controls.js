// The controls, the keys, printing, and the start.
/* global page, view, rows, layout, syntax, rendering, differences */

(function (document, window, page, view, rows, layout, syntax, rendering, differences) {
  // Up to this many display rows are printed whole; beyond, the rows in view.
  const PRINT_ALL_LIMIT = 5000;
  const { byId, viewport, spacer } = page;

  function relayout() {
    const at = rendering.anchor();
    layout.measure();
    layout.estimateHeights();
    rendering.restore(at);
    rendering.refresh();
    differences.drawOverview();
  }

  byId('next').addEventListener('click', () => differences.step(1));
  byId('prev').addEventListener('click', () => differences.step(-1));
  byId('size').addEventListener('change', (event) => {
    view.size = Number(event.target.value);
    relayout();
  });
  byId('wrap').addEventListener('change', (event) => {
    view.wrap = event.target.checked;
    relayout();
  });
  byId('numbers').checked = view.numbers;
  byId('numbers').addEventListener('change', (event) => {
    view.numbers = event.target.checked;
    relayout();
  });
  byId('fold').addEventListener('change', (event) => {
    view.fold = event.target.checked;
    const at = rendering.anchor();
    layout.build();
    rendering.restore(at);
    rendering.refresh();
    differences.drawOverview();
  });
  syntax.box.addEventListener('change', () => {
    syntax.show(syntax.box.checked);
    rendering.refresh();
  });

  document.addEventListener('keydown', (event) => {
    if (event.key === 'F7') {
      event.preventDefault();
      differences.step(event.shiftKey ? -1 : 1);
      return;
    }
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const target = event.target;
    if (target.matches && target.matches('input[type="text"], select, textarea')) return;
    if (event.key === 'n' || event.key === 'p') {
      event.preventDefault();
      differences.step(event.key === 'n' ? 1 : -1);
    }
  });

  let resizeTimer = 0;
  window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(relayout, 100);
  });

  // --- printing: the rows shown, side by side, in the page's flow ---

  window.addEventListener('beforeprint', () => {
    view.printing = true;
    rendering.clear();
    let first = 0;
    let last = layout.count();
    if (last > PRINT_ALL_LIMIT) {
      first = layout.find(view.top);
      last = Math.min(last, layout.find(view.top + viewport.clientHeight) + 1);
    }
    const items = document.createDocumentFragment();
    for (let i = first; i < last; i++) items.appendChild(rendering.makeItem(i));
    spacer.appendChild(items);
  });
  window.addEventListener('afterprint', () => {
    view.printing = false;
    spacer.textContent = '';
    rendering.render();
  });

  // --- start ---

  const marked = (name) => window.requestAnimationFrame(() => setTimeout(() => window.performance.mark(name), 0));
  layout.measureWidest();
  layout.measure();
  layout.build();
  rendering.scrollTo(0);
  differences.drawOverview();
  differences.showPosition();
  if (page.host) page.host.attach(differences);
  marked('tandemix-rows-shown');
  // The rows the browser read after the first screens: laid out anew where the reader is.
  if (rows.complete) {
    marked('tandemix-rows-complete');
  } else {
    rows.whenComplete(() => {
      const at = rendering.anchor();
      layout.measureWidest();
      layout.measure();
      layout.build();
      rendering.restore(at);
      rendering.refresh();
      differences.drawOverview();
      marked('tandemix-rows-complete');
    });
  }
})(document, window, page, view, rows, layout, syntax, rendering, differences);
