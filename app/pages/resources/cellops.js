// Cell operations of the page views, run in the page as one batch. The text
// is a function expression; the view applies it to the list of operations
// and receives the JSON text of the list of their results, in order. Each
// operation is an array whose first item names it; a result of null means
// that the page has no element with the given id.
(function (ops) {
    'use strict';

    function byId(id) {
        return typeof id === 'string' && id !== '' ? document.getElementById(id) : null;
    }

    function hasTextValue(e) {
        return 'value' in e && typeof e.value === 'string';
    }

    function valueOf(e) {
        var v = hasTextValue(e) ? e.value : e.getAttribute('value');
        return v === null || v === undefined ? '' : String(v);
    }

    function isReadOnly(e) {
        if (typeof e.readOnly === 'boolean') return e.readOnly;
        return e.hasAttribute('readonly');
    }

    function setText(e, text) {
        if (hasTextValue(e)) e.value = text;
        else e.textContent = text;
    }

    // True only when the style took the colour; a refused one leaves the
    // previous colour in place.
    function setColor(e, colour) {
        var style = e.style;
        var before = style.backgroundColor;
        var c = String(colour);
        if (c.charAt(0) !== '#') c = '#' + c;
        style.backgroundColor = '';
        style.backgroundColor = c;
        if (style.backgroundColor === '') {
            style.backgroundColor = before;
            return false;
        }
        return true;
    }

    // The computed background as six hexadecimal digits, '' when it is
    // transparent.
    function colorOf(e) {
        var m = /^rgba?\((\d+),\s*(\d+),\s*(\d+)(?:,\s*([\d.]+))?\)$/.exec(
            window.getComputedStyle(e).backgroundColor);
        if (!m || (m[4] !== undefined && Number(m[4]) === 0)) return '';
        var hex = '';
        for (var i = 1; i <= 3; i++) hex += ('0' + Number(m[i]).toString(16)).slice(-2);
        return hex;
    }

    function setCalculated(e, calculated) {
        if (calculated) {
            e.setAttribute('readonly', 'readonly');
            e.className = 'calculateCells';
            setColor(e, 'ffffff');
        } else {
            e.removeAttribute('readonly');
            e.className = 'userInputCells';
            setColor(e, 'ffed93');
        }
    }

    function caret() {
        var e = document.activeElement;
        try {
            if (e && typeof e.selectionEnd === 'number') return e.selectionEnd;
        } catch (x) {
        }
        return null;
    }

    function run(op) {
        var code = op[0];
        if (code === 'caret') return caret();
        var e = byId(op[1]);
        if (code === 'texts') {
            // Writes texts into cells in order; stops at the first missing one.
            for (var i = 0; i < op[1].length; i++) {
                var cell = byId(op[1][i]);
                if (!cell) return false;
                setText(cell, op[2][i]);
            }
            return true;
        }
        if (!e) return code === 'exchange' && op[2] ? {read: null} : null;
        switch (code) {
        case 'value': return valueOf(e);
        case 'checked': return e.checked ? 1 : 0;
        case 'readonly': return isReadOnly(e);
        case 'color': return colorOf(e);
        case 'setText': setText(e, op[2]); return true;
        case 'setChecked': e.checked = op[2]; return true;
        case 'setColor': return setColor(e, op[2]);
        case 'setCalculated': setCalculated(e, op[2]); return true;
        case 'focus': e.focus(); return document.activeElement === e;
        case 'exchange':
            // A cell the user fills in is read when the exchange goes from
            // the page; otherwise the text is written.
            if (op[2] && !isReadOnly(e)) return {read: valueOf(e)};
            setText(e, op[3]);
            return true;
        }
        return null;
    }

    var results = [];
    for (var i = 0; i < ops.length; i++) {
        var r = null;
        try {
            r = run(ops[i]);
        } catch (x) {
            r = null;
        }
        results.push(r === undefined ? null : r);
    }
    return JSON.stringify(results);
})
