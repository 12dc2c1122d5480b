// Puts the page together: one edit record per parameter, its controls, the
// news card, and the channel to the plug-in. "g" goes out last, once every
// control can show what the plug-in answers.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  function feed_override() {
    var url = new URLSearchParams(window.location.search).get('feed');
    return url && /^(https?|file):/.test(url) ? url : null;
  }

  function start() {
    var edits = vo.param_table.map(function (desc, index) { return vo.param_edit_create(index); });

    document.querySelectorAll('.control[data-index]').forEach(function (control) {
      var edit = edits[Number(control.getAttribute('data-index'))];
      var knob = control.querySelector('.knob');
      var readout = vo.readout_attach(control.querySelector('.readout'), edit, knob);
      vo.knob_attach(knob, edit, readout.open);
    });
    vo.footswitch_attach(document.getElementById('footswitch'), document.getElementById('lamp'),
      document.getElementById('footswitch-state'), edits[vo.PARAM_BYPASS]);

    var news = vo.news_create(feed_override());
    vo.news_panel_attach(news, {
      button: document.getElementById('news-button'),
      badge: document.getElementById('news-badge'),
      panel: document.getElementById('news-panel'),
      close: document.getElementById('news-close'),
      list: document.getElementById('news-list'),
      empty: document.getElementById('news-empty')
    });

    vo.listen(function (text) {
      if (text.charAt(0) === 's') {
        var value = vo.parse_value_message(text);
        if (value && value.index < edits.length) vo.param_edit_from_host(edits[value.index], value.value);
      } else if (text.indexOf('m ') === 0) {
        vo.news_receive(news, text.slice(2));
      }
    });

    // Pages of a plug-in never scroll, zoom or select like documents.
    document.addEventListener('contextmenu', function (event) { event.preventDefault(); });
    document.addEventListener('selectstart', function (event) {
      if (!(event.target instanceof HTMLInputElement)) event.preventDefault();
    });

    vo.post('g');
    vo.news_start(news);
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})();
