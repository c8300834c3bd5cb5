<!-- Inserted web page; with a variable a hidden link beside it turns the
     variable's value into the absolute address that the frame reports. -->
<parts>
<part name="frame">
	<iframe title="%%hint?%%" style="%%style%%" src="%%src%%" scrolling="%%scrolling?%%" id="%%id?%%"></iframe>
</part>
<part name="link">
	<a href="{INPUT[%%position%%]/@VALUE}" id="INPUT%%element%%h" style="display: none"></a>
</part>
</parts>
