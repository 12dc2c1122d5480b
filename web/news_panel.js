// The news button with its unread count, and the card that lists the news.
// Opening the card marks what it shows as read. Feed texts are shown as text,
// never as markup. There is no error state: without a connection the card
// simply shows what the store holds.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  var MONTHS = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];

  function format_date(iso) {
    if (!iso) return '';
    var parts = iso.split('-');
    return Number(parts[2]) + ' ' + MONTHS[Number(parts[1]) - 1] + ' ' + parts[0];
  }

  function element(tag, class_name, text) {
    var node = document.createElement(tag);
    if (class_name) node.className = class_name;
    if (text) node.textContent = text;
    return node;
  }

  function item_view(item, is_new) {
    var li = element('li', 'news-item' + (is_new ? ' is-new' : ''));
    var meta = element('div', 'news-meta');
    if (is_new) meta.appendChild(element('span', 'news-new', 'New'));
    if (item.date) {
      var time = element('time', 'news-date', format_date(item.date));
      time.setAttribute('datetime', item.date);
      meta.appendChild(time);
    }
    li.appendChild(meta);
    li.appendChild(element('h3', 'news-title', item.title));
    if (item.text) li.appendChild(element('p', 'news-text', item.text));
    if (item.url) {
      // The plug-in hands web links to the user's browser.
      var link = element('a', 'news-link', 'Read more');
      link.href = item.url;
      link.target = '_blank';
      link.rel = 'noopener noreferrer';
      li.appendChild(link);
    }
    return li;
  }

  vo.news_panel_attach = function (news, ui) {
    var open = false;
    var new_at_open = {};

    function render() {
      var unread = vo.news_unread(news);
      ui.badge.hidden = unread.length === 0;
      ui.badge.textContent = unread.length > 99 ? '99+' : String(unread.length);
      ui.button.setAttribute('aria-label', unread.length ? 'News, ' + unread.length + ' unread' : 'News');
      if (!open) return;
      var items = vo.news_items(news);
      ui.list.textContent = '';
      items.forEach(function (item) { ui.list.appendChild(item_view(item, new_at_open[item.id])); });
      ui.list.hidden = items.length === 0;
      ui.empty.hidden = items.length > 0;
    }

    // News arriving while the card is open is read as it appears.
    function mark_shown_read() {
      vo.news_unread(news).forEach(function (item) { new_at_open[item.id] = true; });
      vo.news_mark_read(news);
    }

    function show(next, move_focus) {
      if (next === open) return;
      open = next;
      ui.panel.hidden = !open;
      ui.button.setAttribute('aria-expanded', open ? 'true' : 'false');
      if (open) {
        new_at_open = {};
        mark_shown_read();
        render();
        ui.close.focus();
      } else if (move_focus) {
        ui.button.focus();
      }
    }

    news.on_update.push(function () {
      if (open) mark_shown_read();
      render();
    });
    ui.button.addEventListener('click', function () { show(!open, true); });
    ui.close.addEventListener('click', function () { show(false, true); });
    ui.panel.addEventListener('keydown', function (event) {
      if (event.key === 'Escape') { event.preventDefault(); show(false, true); }
    });
    // Reaching for a control puts the card away; the control keeps the press.
    document.addEventListener('pointerdown', function (event) {
      if (open && !ui.panel.contains(event.target) && !ui.button.contains(event.target)) show(false, false);
    }, true);
    render();
  };
})();
