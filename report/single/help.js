// The keys the page handles, listed in an overlay that "?" opens and Esc closes.
/* global page */

(function (document, window, page) {
  const HELP_KEYS = [
    ['n, F7', 'N\u00e4chster Unterschied'],
    ['p, Umschalt+F7', 'Voriger Unterschied'],
    ['Eingabe (im Suchfeld)', 'N\u00e4chster Treffer'],
    ['Umschalt+Eingabe (im Suchfeld)', 'Voriger Treffer'],
    ['Strg+F', 'Ins Suchfeld'],
    ['F3, Umschalt+F3', 'N\u00e4chster, voriger Treffer'],
    ['Esc (im Suchfeld)', 'Zur\u00fcck zu den Zeilen'],
    ['\u2191, \u2193, Bild\u2191, Bild\u2193, Pos1, Ende', 'Bl\u00e4ttern'],
    ['Leertaste, Umschalt+Leertaste', 'Seitenweise bl\u00e4ttern'],
    ['Eingabe, Leertaste (auf ausgeblendeten Zeilen)', 'Zeilen einblenden'],
    ...(page.host ? page.host.keys : []),
    ['?', 'Diese Hilfe \u00f6ffnen und schlie\u00dfen'],
    ['Esc', 'Diese Hilfe schlie\u00dfen'],
  ];

  function makeHelp() {
    const box = document.createElement('div');
    box.id = 'help';
    box.hidden = true;
    const panel = document.createElement('div');
    panel.className = 'panel';
    panel.setAttribute('role', 'dialog');
    panel.setAttribute('aria-modal', 'true');
    panel.setAttribute('aria-labelledby', 'helptitle');
    panel.tabIndex = -1;
    const title = document.createElement('h2');
    title.id = 'helptitle';
    title.textContent = 'Tastenk\u00fcrzel';
    const table = document.createElement('table');
    for (const [keys, meaning] of HELP_KEYS) {
      const row = table.insertRow();
      const key = document.createElement('th');
      key.textContent = keys;
      row.appendChild(key);
      row.insertCell().textContent = meaning;
    }
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = 'Schlie\u00dfen (Esc)';
    close.addEventListener('click', closeHelp);
    panel.append(title, table, close);
    box.appendChild(panel);
    // A click beside the panel closes it too.
    box.addEventListener('click', (event) => {
      if (event.target === box) closeHelp();
    });
    return box;
  }

  const helpBox = makeHelp();
  document.body.appendChild(helpBox);
  let helpReturn = null;

  function openHelp() {
    helpReturn = document.activeElement;
    helpBox.hidden = false;
    helpBox.firstChild.focus();
  }

  function closeHelp() {
    helpBox.hidden = true;
    if (helpReturn && helpReturn.focus) helpReturn.focus();
    helpReturn = null;
  }

  page.byId('helpbutton').addEventListener('click', openHelp);
  // Taken before every other key handler: while the help is open, keys act on it alone.
  window.addEventListener(
    'keydown',
    (event) => {
      if (!helpBox.hidden) {
        event.stopPropagation();
        if (event.key === 'Escape' || event.key === '?') {
          event.preventDefault();
          closeHelp();
        }
        return;
      }
      if (event.key !== '?' || event.ctrlKey || event.metaKey || event.altKey) return;
      const target = event.target;
      if (target.matches && target.matches('input[type="text"], select, textarea')) return;
      event.preventDefault();
      openHelp();
    },
    true,
  );
})(document, window, page);
