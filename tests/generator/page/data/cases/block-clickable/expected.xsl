<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();"></form>
									<div onclick="PostXML1()" style="position: absolute; top: 8px; left: 8px; z-index: 1;">
										<div title="Start the pump" style="cursor:pointer;height:30px; width:80px; border: none; background-color: #00FF00;"></div>
									</div>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
