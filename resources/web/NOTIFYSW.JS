/* The service worker of pages with notifications: shows the PLC's push
   messages as notifications. A message is JSON with the members title, body,
   icon, badge, image, vibrate (an array of milliseconds) and url (the page to
   open on a click); a message that is no JSON is shown as the body. */

var kNotifyDefaultTitle = 'PLC';
var kNotifyDefaultIcon = '../FAVICON.ICO';

// The title and the options of the notification for one push message.
function NotificationFromMessage(text) {
  var data;
  try {
    data = JSON.parse(text);
  } catch (err) {
    data = { body: String(text) };
  }
  if (data === null || typeof data !== 'object') data = { body: String(text) };
  var options = {
    body: data.body ? String(data.body) : '',
    icon: data.icon ? String(data.icon) : kNotifyDefaultIcon,
    badge: data.badge ? String(data.badge) : kNotifyDefaultIcon,
    data: { url: data.url ? String(data.url) : '../INDEX.XML' }
  };
  if (data.image) options.image = String(data.image);
  if (Array.isArray(data.vibrate)) options.vibrate = data.vibrate.map(Number);
  return { title: data.title ? String(data.title) : kNotifyDefaultTitle, options: options };
}

if (typeof self !== 'undefined' && typeof self.registration !== 'undefined') {
  self.addEventListener('push', function (event) {
    var shown = NotificationFromMessage(event.data ? event.data.text() : '');
    event.waitUntil(self.registration.showNotification(shown.title, shown.options));
  });

  self.addEventListener('notificationclick', function (event) {
    event.notification.close();
    var url = event.notification.data && event.notification.data.url ? event.notification.data.url : '../INDEX.XML';
    event.waitUntil(self.clients.openWindow(url));
  });
}
