// Search with highlighting in the two side frames. Highlights are spans with the
// class "hervorhebungexakt" (whole phrase) or "hervorhebung" (single word of a
// fuzzy search); the side pages style both classes.

// Entry point of the search form: '1' searches, anything else only clears.
function get_frames(mframe) {
    // The form calls this from onsubmit and again through its javascript: action;
    // cancelling the submit keeps Enter in the field from running the search twice.
    var ev = window.event;
    if (ev && ev.type == "submit") {
        if (ev.preventDefault) {
            ev.preventDefault();
        } else {
            ev.returnValue = false;
        }
    }

    var win0, win1, body0, body1;
    try {
        win0 = parent.frames["frame0"];
        win1 = parent.frames["frame1"];
        if (!win0 || !win1) {
            return;
        }
        body0 = win0.document.body;
        body1 = win1.document.body;
    } catch (e) {
        // Frames from another origin (pages opened from disk) cannot be read.
        zeige_betrachter_hinweis();
        return;
    }
    if (!body0 || !body1) {
        return;
    }

    var frames = [[body0, win0], [body1, win1]];
    for (var f = 0; f < frames.length; f++) {
        var body = frames[f][0];
        var win = frames[f][1];
        loesche(body, win);
        var table = win.document.getElementById("maintable");
        if (table) {
            fuege_zusammen(table, win);
        }
        // Join the text pieces the highlights left behind, so a later search still
        // finds words that straddled a former highlight.
        var merged = table ? table : body;
        if (merged.normalize) {
            merged.normalize();
        }
    }

    if (mframe == 1) {
        var field = document.suche.eingabe;
        if (field.value.length < 2) {
            alert("Es sind mindestens 2 Zeichen f\u00fcr die Suche erforderlich!");
            field.focus();
            return;
        }
        hervorheben(body0, win0);
        hervorheben(body1, win1);
    }
}

// Marks the current search text in one frame (the top page when no frame is given).
function hervorheben(mainframebody, mainframe) {
    var body = mainframebody ? mainframebody : document.body;
    var doc = mainframe ? mainframe.document : document;
    if (!doc || !doc.createElement) {
        return;
    }
    var text = document.suche.eingabe.value;
    var mode = get_radio(document.suche.suchoption);
    var plain = unescape(text.replace(/\+/g, " "));

    if (mode == 1) {
        markiere(body, plain, 1, mainframe);
    } else if (mode == 2) {
        // The whole phrase first, so its words are not taken apart by the single
        // word marks (marked text is never marked again).
        var phrase = document.all ? unescape(text) : plain;
        markiere(body, phrase, 1, mainframe);
        var words = plain.split(/\s+/);
        for (var i = 0; i < words.length; i++) {
            if (words[i] != "") {
                markiere(body, words[i], 0, mainframe);
            }
        }
    }
}

// Wraps the first occurrence of word in every text node below node into a span;
// the rest of a split node is visited later in the same walk.
function markiere(node, word, exakt, maindocument) {
    if (word == "") {
        // An empty word would "occur" in every node without end.
        return;
    }
    // The count is read again at every step: the list grows while we split nodes.
    for (var i = 0; i < node.childNodes.length; i++) {
        markiere(node.childNodes[i], word, exakt, maindocument);
    }
    if (node.nodeType != 3) {
        return;
    }
    var parent = node.parentNode;
    if (!parent || ist_markiert(parent)) {
        return;
    }
    var data = node.data;
    var pos = data.toLowerCase().indexOf(word.toLowerCase());
    if (pos < 0) {
        return;
    }
    var doc = maindocument ? maindocument.document : document;
    var before = doc.createTextNode(data.substring(0, pos));
    var span = doc.createElement("span");
    span.className = exakt == 1 ? "hervorhebungexakt" : "hervorhebung";
    // The row's own letters, not the typed ones, go into the highlight.
    span.appendChild(doc.createTextNode(data.substr(pos, word.length)));
    var after = doc.createTextNode(data.substring(pos + word.length));
    parent.insertBefore(before, node);
    parent.insertBefore(span, node);
    parent.insertBefore(after, node);
    parent.removeChild(node);
}

// Takes every highlight below node apart again; its text goes back to the text
// node in front of it.
function demarkiere(node, word, exakt, framenode, mframe) {
    for (var i = 0; i < node.childNodes.length; i++) {
        var child = node.childNodes[i];
        demarkiere(child, word, exakt, framenode, mframe);
        if (child.parentNode !== node) {
            // A highlight was removed and empty nodes around it dropped: indices
            // shifted, so scan this level again rather than skip a neighbour.
            i = -1;
        }
    }
    if (node.nodeType != 3) {
        return;
    }
    var span = node.parentNode;
    if (!span || !ist_markiert(span)) {
        return;
    }
    var container = span.parentNode;
    if (!container) {
        return;
    }
    var previous = span.previousSibling;
    if (previous && previous.nodeType == 3) {
        previous.data = previous.data + node.data;
    } else {
        var doc = span.ownerDocument;
        container.insertBefore(doc.createTextNode(node.data), span);
    }
    container.removeChild(span);
    for (var k = container.childNodes.length - 1; k >= 0; k--) {
        var c = container.childNodes[k];
        if (c.nodeType == 3 && c.data == "") {
            container.removeChild(c);
        }
    }
}

// Joins the loose text pieces of every table cell below node into one text node.
function fuege_zusammen(node, mframe) {
    var doc = mframe ? mframe.document : document;
    for (var i = 0; i < node.childNodes.length; i++) {
        var child = node.childNodes[i];
        if (child.nodeName == "TD") {
            var joined = "";
            var found = false;
            for (var k = 0; k < child.childNodes.length; k++) {
                var value = child.childNodes[k].nodeValue;
                if (typeof value == "string" && value != "") {
                    joined += value;
                    found = true;
                    child.removeChild(child.childNodes[k]);
                    k--;
                }
            }
            if (found) {
                child.appendChild(doc.createTextNode(joined));
            }
        } else {
            fuege_zusammen(child, mframe);
        }
    }
}

// Removes the highlights of the current search text from one frame. Called with
// the body first and the window second.
function loesche(mainframe, mainframebody) {
    if (!document.createElement) {
        return;
    }
    var body = mainframe ? mainframe : document.body;
    var text = document.suche.eingabe.value;
    var mode = get_radio(document.suche.suchoption);
    var plain = unescape(text.replace(/\+/g, " "));
    demarkiere(body, plain, 1, body, mainframebody);
    if (mode == 2) {
        var words = plain.split(/\s+/);
        for (var i = 0; i < words.length; i++) {
            if (words[i] != "") {
                demarkiere(body, words[i], 0, body, mainframebody);
            }
        }
    }
}

// The value of the checked button of a radio group, or false when none is.
function get_radio(radObj) {
    if (!radObj) {
        return false;
    }
    if (radObj.length === undefined) {
        return radObj.checked ? radObj.value : false;
    }
    for (var i = 0; i < radObj.length; i++) {
        if (radObj[i].checked) {
            return radObj[i].value;
        }
    }
    return false;
}

// Whether an element is one of our highlight spans.
function ist_markiert(element) {
    var cls = " " + (element.className || "") + " ";
    return cls.indexOf(" hervorhebung ") >= 0 || cls.indexOf(" hervorhebungexakt ") >= 0;
}
