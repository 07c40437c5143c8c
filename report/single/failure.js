// A page that cannot read or lay out its rows says so in the page instead of staying empty.
// It stands outside the other parts, which run inside a try that hands their failure here.
/* exported failure */

const failure = (function (document) {
  function show(error) {
    const tooLarge = error instanceof RangeError || /memory|allocation/i.test(String(error && error.message));
    const box = document.createElement('div');
    box.id = 'failure';
    box.setAttribute('role', 'alert');
    const title = document.createElement('b');
    title.textContent = tooLarge
      ? 'Der Bericht ist zu gro\u00df f\u00fcr diesen Browser.'
      : 'Der Bericht kann nicht angezeigt werden.';
    const hint = document.createElement('p');
    hint.textContent = tooLarge
      ? 'Ein Browser mit mehr Speicher oder die gerahmte Form des Berichts kann ihn zeigen.'
      : 'Die Datei ist vielleicht unvollst\u00e4ndig.';
    const detail = document.createElement('p');
    detail.className = 'detail';
    detail.textContent = String(error);
    box.append(title, hint, detail);
    document.body.appendChild(box);
  }

  return { show };
})(document);
